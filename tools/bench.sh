#!/usr/bin/env bash
# Runs the game's benchmarks and prints one table of their figures, each
# with its ratio to the floor that the same run measured (a frame that only
# clears and swaps for the screens, a fixed piece of plain work for the
# others), so that a figure taken on a loaded machine still says something.
#
#   bash tools/bench.sh [--cores N] [NAME...]
#       builds what the benchmarks need in build/, runs them, prints the table
#   bash tools/bench.sh --brief --build DIR NAME...
#       a short run (a few frames, a few rounds) of the programs built in DIR,
#       checked as every run is: what the test suite runs
#
# NAMEs: view screens fight scripts archive actions audio (all when none).
# --cores N   runs on N processors (taskset) with LP_NUM_THREADS=N
# --build DIR uses the programs already built in DIR instead of building
# A benchmark fails the run (exit 1, with the lines that tell why) when it
# ends with an error, prints an ERROR or WARNING line (a map that cannot be
# loaded, an event without its class, a monster or item the game lacks), or
# prints no floor or a figure that cannot be read.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

brief=0
build=
cores=
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --brief) brief=1 ;;
    --build) build=${2:?--build needs a folder}; shift ;;
    --cores) cores=${2:?--cores needs a number}; shift ;;
    -h|--help) sed -n '2,19p' "$0"; exit 0 ;;
    -*) echo "bench.sh: unknown option $1" >&2; exit 2 ;;
    *) names+=("$1") ;;
  esac
  shift
done
all=(view screens fight scripts archive actions audio)
[ ${#names[@]} -gt 0 ] || names=("${all[@]}")

# Each benchmark: its program in the build folder and its arguments.
program() {
  case "$1" in
    view) echo tools/viewbench ;;
    screens) echo tools/screenbench ;;
    fight) echo tests/bench_fight ;;
    scripts) echo tests/bench_scripts ;;
    archive) echo tests/bench_archive ;;
    actions) echo tests/bench_actionfile ;;
    audio) echo tests/bench_audio ;;
    *) return 1 ;;
  esac
}
# Fills `args`: frames, samples or seconds, short with --brief.
set_arguments() {
  local game=$build/game
  if [ $brief = 1 ]; then
    case "$1" in
      view) args=("$game" 10 1) ;;      # 10 frames a scenario, 1 s idle
      screens) args=("$game" 20) ;;
      fight) args=(5 2) ;;              # 5 fights of 2 rounds
      archive) args=(5) ;;
      actions) args=(5 "$game") ;;
      scripts | audio) args=("$game") ;;
    esac
  else
    case "$1" in
      view) args=("$game" 120 10) ;;
      screens) args=("$game" 200) ;;
      fight) args=(200 5) ;;
      archive) args=(200) ;;
      actions) args=(200 "$game") ;;
      scripts | audio) args=("$game") ;;
    esac
  fi
}
for n in "${names[@]}"; do
  program "$n" >/dev/null || { echo "bench.sh: no benchmark named $n (${all[*]})" >&2; exit 2; }
done

if [ -z "$build" ]; then
  build=$root/build
  {
    bash "$root/tools/deps.sh"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    targets=(game_data)
    for n in "${names[@]}"; do targets+=("$(basename "$(program "$n")")"); done
    cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
  } >&2   # the table alone on the standard output
fi
build=$(cd "$build" && pwd)

. "$root/tools/display.sh"
case " ${names[*]} " in
  *" view "* | *" screens "*) ensure_display ;;   # the benchmarks with a window
esac
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-x11}
export LIBGL_ALWAYS_SOFTWARE=1
export VELL_SEED=${VELL_SEED:-1}   # the same dice every run

# The processors to run on: the first N this process may use.
run=()
if [ -n "$cores" ]; then
  allowed=()
  IFS=, read -ra parts <<<"$(taskset -pc $$ | sed 's/.*: //')"
  for p in "${parts[@]}"; do
    if [[ $p == *-* ]]; then
      for ((c = ${p%-*}; c <= ${p#*-}; c++)); do allowed+=("$c"); done
    else
      allowed+=("$p")
    fi
  done
  if ! [[ $cores =~ ^[1-9][0-9]*$ ]] || [ "$cores" -gt ${#allowed[@]} ]; then
    echo "bench.sh: --cores must be 1 to ${#allowed[@]}" >&2
    exit 2
  fi
  cpus=$(IFS=,; echo "${allowed[*]:0:$cores}")
  run=(taskset -c "$cpus")
  export LP_NUM_THREADS=$cores
fi

out=$(mktemp -d)
trap 'rm -rf "$out"; stop_own_display' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# Reads one run's figures into $out/table (benchmark, name, value, unit,
# note, ratio) and prints what is wrong with the run; fails when anything is.
check() {
  local n=$1 status=$2 bad=0
  if [ "$status" -ne 0 ]; then
    echo "bench.sh: $n ended with exit code $status" >&2
    bad=1
  fi
  if grep -E -h 'ERROR|WARNING|Traceback|runtime error' "$out/$n.out" "$out/$n.err" >&2; then
    echo "bench.sh: $n printed the ERROR or WARNING lines above" >&2
    bad=1
  fi
  awk -F'|' -v bench="$n" -v table="$out/table" '
    function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
    function ms(v, u) { return u == "ms" ? v : u == "us" ? v / 1000 : u == "ns" ? v / 1e6 : -1 }
    $1 ~ /^(floor|figure)[ \t]*$/ {
      kind = trim($1); name = trim($2); value = trim($3); note = trim($4)
      if (NF != 4 || name == "" || value !~ /^[0-9]+(\.[0-9]+)? [^ ]/) {
        print "bench.sh: " bench ": a figure that cannot be read: " $0 > "/dev/stderr"; bad = 1; next
      }
      split(value, part, " "); number = part[1] + 0; unit = substr(value, length(part[1]) + 2)
      if (kind == "floor") { floors++; floorMs = ms(number, unit) }
      rows++; kinds[rows] = kind; names[rows] = name; numbers[rows] = number; units[rows] = unit; notes[rows] = note
    }
    END {
      if (floors != 1) { print "bench.sh: " bench ": " floors + 0 " floors instead of one" > "/dev/stderr"; bad = 1 }
      if (rows - floors < 1) { print "bench.sh: " bench ": no figure" > "/dev/stderr"; bad = 1 }
      if (floorMs <= 0) { print "bench.sh: " bench ": the floor is no time" > "/dev/stderr"; bad = 1 }
      for (i = 1; i <= rows; i++) {
        t = ms(numbers[i], units[i])
        ratio = (t >= 0 && floorMs > 0) ? sprintf("%.3g", t / floorMs) : "-"
        label = kinds[i] == "floor" ? "floor: " names[i] : names[i]
        printf "%s\t%s\t%s %s\t%s\t%s\n", bench, label, numbers[i], units[i], notes[i], ratio >> table
      }
      exit bad
    }' "$out/$n.out" || bad=1
  if [ $bad = 1 ]; then
    echo "--- the last lines of $n:" >&2
    tail -n 20 "$out/$n.out" "$out/$n.err" >&2
  fi
  return $bad
}

failed=()
for n in "${names[@]}"; do
  exe=$build/$(program "$n")
  set_arguments "$n"
  if [ ! -x "$exe" ]; then
    echo "bench.sh: $exe is not built" >&2
    failed+=("$n")
    continue
  fi
  echo "running $n: $(basename "$exe") ${args[*]}" >&2
  status=0
  "${run[@]}" "$exe" "${args[@]}" >"$out/$n.out" 2>"$out/$n.err" </dev/null || status=$?
  check "$n" "$status" || failed+=("$n")
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

renderer=$(cat "$out"/*.out | grep -m1 '^renderer:' | sed 's/^renderer: //' || true)
echo
echo "Benchmarks of $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo vellrun), $(date '+%Y-%m-%d %H:%M')$([ $brief = 1 ] && echo ', brief run')"
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(nproc) processors;" \
  "run on ${cores:-all $(nproc)} (LP_NUM_THREADS=${LP_NUM_THREADS:-unset})"
echo "load average (1, 5, 15 min): $load_before before, $load_after after"
[ -z "$renderer" ] || echo "renderer: $renderer"
echo
echo "| benchmark | figure | median | p95 / note | x floor |"
echo "|---|---|--:|---|--:|"
[ ! -f "$out/table" ] || awk -F'\t' '{ printf "| %s | %s | %s | %s | %s |\n", $1, $2, $3, $4, $5 }' "$out/table"
if [ ${#failed[@]} -gt 0 ]; then
  echo
  echo "FAILED: ${failed[*]}"
  exit 1
fi
