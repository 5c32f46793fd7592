#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (plus ASan and UBSan) and
# runs each for a bounded time from a small seed corpus of valid files.
#   run.sh SOURCE_DIR WORK_DIR SECONDS_PER_TARGET GAME_DIR
# GAME_DIR is the assembled game folder, whose data files seed several
# targets. A target that finds a fault fails the run with its report; the
# input that did it is left in WORK_DIR/<target>/.
set -euo pipefail
src=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
seconds=${3:-4}
game=$4
fixtures=$src/tests/fixtures
cxx=$(command -v clang++-14 || command -v clang++)
make -s -j"$(nproc)" -f "$src/tests/core/fuzz/fuzz.mk" SRC="$src" WORK="$work" CXX="$cxx"

targets=(core images font piccache map items monsters classes itemcreate actions audio townfiles)
for t in "${targets[@]}"; do
  rm -rf "$work/$t/corpus"
  mkdir -p "$work/$t/corpus"
done
# entry TARGET NAME SELECTOR FILE...: a corpus entry of the selector byte
# (octal; "" for none) followed by the files' bytes.
entry() {
  local out=$work/$1/corpus/$2 sel=$3
  shift 3
  { if [ -n "$sel" ]; then printf "\\$sel"; fi; cat "$@"; } > "$out"
}
# Little-endian numbers of 16 and 32 bits as bytes.
le16() { printf "\\$(printf %o $(($1 & 255)))\\$(printf %o $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }

# The archive, the stream readers and the line readers.
printf '\x00\x01\x00\x00\x00\x0c\x00\x00\x00\x0c\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
  > "$work/core/corpus/empty_archive"
printf '\x01\x02\x00\x00\x00\x01\x00\x00\x00A\x02\x05\x00\x00\x00\x04\x00\x00\x00flag\x04\x01' > "$work/core/corpus/taglist"
printf '\x02\x10# comment\r\ndepth 24\n\nresolution 1024x768\r\n' > "$work/core/corpus/lines"

# Pictures: a BMP; JPEG pictures with their alpha pictures (selector, then
# the picture's length), at both resolutions and without alpha; a texture
# container.
entry images wall.bmp 0 "$fixtures/view/maps/wall.bmp"
while read -r sel picture alpha; do
  { printf "\\$sel"; le16 "$(stat -c %s "$fixtures/images/$picture")"; cat "$fixtures/images/$picture" $alpha; } \
    > "$work/images/corpus/$picture"
done <<LIST
1 quad.dat $fixtures/images/quad_A.dat
2 quadL.dat $fixtures/images/quad_AL.dat
1 odd.dat $fixtures/images/odd_A.dat
1 gray.dat
LIST
entry images container 3 <(gzip -dc "$game/pics/other/compOff.dat")

entry font font.fot "" "$game/data/font.fot"
entry piccache picindex 0 <(gzip -dc "$game/data/picindex.dat")
# A small picture file: a 64 x 64 picture at both qualities and one
# animated 16 x 16 region of two frames and two steps.
jpeg=$fixtures/piccache/blue64.jpg
other=$fixtures/piccache/yellow64.jpg
size=$(stat -c %s "$jpeg")
{ printf '\1'; le16 1; le16 1
  le32 $((64 | 64 << 16)); le32 $((64 | 64 << 16)); le32 $((64 | 64 << 16)); le32 $((64 | 64 << 16))
  le32 "$size"; le32 $((32 + size)); le32 "$(stat -c %s "$other")"; cat "$jpeg" "$other"
  le32 0; le32 $((8 | 4 << 16)); le32 $((16 | 16 << 16)); le16 1; le16 0; le32 "$size"; cat "$jpeg"
  le16 2; le32 $((0 | 5 << 16 | 2 << 24)); le32 $((1 | 3 << 16)); } > "$work/piccache/corpus/small.pic"

# The map's five files, and a configuration with the optional lines the
# grid map leaves out.
n=0
for f in cfg tex cel evt mon; do
  entry map "grid.$f" "$n" "$fixtures/world/grid.$f"
  n=$((n + 1))
done
entry map optional.cfg 0 <(printf '%s\n' 'Town 4 3 floor.dat ceiling.dat sky.dat' 'grid.tex grid.cel grid.evt NULL' \
  'SPECLITE 0.1 0.2 0.3 0.05 0.5 0.5 0.4' 'sounds 0' 'SPECCELL -1 -1 0' 'RANDITEMS 2' 'Torch 5' 'Torch 1' '0 0 BOX')

# The master files the game ships.
entry items item.dat "" "$game/data/item.dat"
entry monsters monsters.dat "" <(gzip -dc "$game/data/monsters.dat")
entry classes class.dat "" "$game/data/class.dat"
entry itemcreate itemcreate.dat "" "$game/data/itemcreate.dat"
# The spell book, whole and as its first few records.
entry actions actions.dat "" <(gzip -dc "$game/data/actions.dat")
entry actions first.dat "" <(gzip -dc "$game/data/actions.dat" | head -c 2000)

# The sound director's files: a pack (0), a bard song file (1), the audio
# configuration and the bard song master file (2).
entry audio town_morning.env 0 "$game/data/sounds/packs/town_morning.env"
entry audio global.env 0 "$game/data/sounds/packs/global.env"
entry audio proud_mary.song 1 "$game/data/songs/proud_mary.song"
entry audio audio.dat 2 "$game/data/audio.dat"
entry audio bardsongs.cfg 2 "$game/data/songs/bardsongs.cfg"

# The town's text files: the taverns' tip files (0) and the Arcanium's
# catalogue (1).
for tip in "$game"/data/*.tip; do
  entry townfiles "$(basename "$tip")" 0 "$tip"
done
entry townfiles arcdata.txt 1 "$game/data/arcanium/arcdata.txt"

export VELL_FUZZ_TMP=$work/tmp VELL_FUZZ_FIXTURES=$fixtures
export ASAN_OPTIONS=detect_leaks=1
mkdir -p "$VELL_FUZZ_TMP"
status=0
for t in "${targets[@]}"; do
  case $t in
    piccache|images|font|actions) maxlen=24576 ;;
    *) maxlen=4096 ;;
  esac
  log=$work/$t/log
  if (cd "$work/$t" && "$work/fuzz_$t" -max_total_time="$seconds" -max_len="$maxlen" -seed=1 \
        -print_final_stats=1 -artifact_prefix="$work/$t/" "$work/$t/corpus" > "$log" 2>&1); then
    echo "fuzz_$t: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs, no fault"
  else
    echo "fuzz_$t: FAULT"
    grep -v '^ERROR: [a-z]\|^ERROR!\|^ERROR: Could\|^WARNING\|^Couldn' "$log" | tail -80
    status=1
  fi
done
rm -rf "$VELL_FUZZ_TMP"
exit $status
