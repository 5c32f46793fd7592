#!/usr/bin/env bash
# The benchmark runner's checks, on a stand-in benchmark whose output each
# case gives: a run that ends with an error, prints an ERROR or WARNING line,
# or prints no floor, two floors, no figure or a figure that cannot be read
# must fail; a sound one must pass with each figure's ratio to the floor.
#   runner-check.sh <source folder>
set -uo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tests" "$work/game"

floor='floor  | reference work | 0.5 ms | p95 0.6 ms'
round='figure | a round | 100 us | p95 120 us'
failures=0

# check NAME EXPECTED-EXIT STAND-IN-EXIT STDOUT [STDERR]: the stand-in
# prints STDOUT and STDERR (escapes such as \n expanded) and exits; the
# runner must exit EXPECTED-EXIT.
check() {
  local name=$1 expected=$2 code=$3 out=$4 err=${5:-}
  printf '%b\n' "$out" >"$work/out.txt"
  printf '%b' "$err" >"$work/err.txt"
  printf '#!/bin/bash\ncat "%s"\ncat "%s" >&2\nexit %s\n' "$work/out.txt" "$work/err.txt" "$code" \
    >"$work/tests/bench_fight"
  chmod +x "$work/tests/bench_fight"
  local status=0 report
  report=$(bash "$src/tools/bench.sh" --brief --build "$work" fight 2>&1) || status=$?
  if [ "$status" -ne "$expected" ]; then
    echo "FAIL: $name: the runner exited with $status, not $expected"
    echo "$report"
    failures=$((failures + 1))
  fi
  REPORT=$report
}

check "sound" 0 0 "$floor\n$round"
if ! grep -q '^| fight | a round | 100 us | p95 120 us | 0.2 |$' <<<"$REPORT"; then
  echo "FAIL: sound: no row with its ratio to the floor"
  echo "$REPORT"
  failures=$((failures + 1))
fi
check "a figure that is no time" 0 0 "$floor\nfigure | idle | 1.5 % of a core | 15 ms of CPU in 1 s"
check "an exit code" 1 3 "$floor\n$round"
check "WARNING on stderr" 1 0 "$floor\n$round" "WARNING: event type 1000 has no class in this game\n"
check "ERROR on stdout" 1 0 "ERROR: the map maps/catacombs.cfg cannot be loaded\n$floor\n$round"
check "a Python traceback" 1 0 "$floor\n$round" "Traceback (most recent call last):\n"
check "no floor" 1 0 "$round"
check "two floors" 1 0 "$floor\n$floor\n$round"
check "no figure" 1 0 "$floor"
check "not a number" 1 0 "$floor\nfigure | a round | nan us | x"
check "a negative figure" 1 0 "$floor\nfigure | idle | -5.79 % of a core | x"
check "no unit" 1 0 "$floor\nfigure | a round | 100 | x"
check "three columns" 1 0 "$floor\nfigure | a round | 100 us"

[ $failures -eq 0 ] && echo "the runner's checks hold"
exit $((failures > 0))
