#!/usr/bin/env bash
# Builds the sound file fuzz target with clang's libFuzzer (plus ASan and
# UBSan) and runs it for a bounded time from a small seed corpus.
#   run.sh SOURCE_DIR WORK_DIR SECONDS
set -euo pipefail
src=$1
work=$2
seconds=${3:-15}
cxx=$(command -v clang++-14 || command -v clang++)
mkdir -p "$work/corpus"
files=(audio/AudioText.cpp audio/EnvSoundPak.cpp audio/BardSongMus.cpp audio/MasterAudio.cpp audio/SharedChunkPort.cpp
       core/GameConfig.cpp core/ConfigFile.cpp platform/FileIO.cpp platform/Files.cpp platform/Random.cpp)
"$cxx" -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$src" "${files[@]/#/$src/}" "$src/tests/audio/fuzz/AudioFuzz.cpp" -o "$work/fuzz_audio"
# Seeds: a pack, a bard song file, a configuration and a master file.
printf '\x00# pack\nintro a.ogg\nmain b.ogg\nrand c.ogg 500\ntimed d.ogg 23:50 20\nnamed e.ogg Door\n' \
  > "$work/corpus/pack"
printf '\x01 0x005ab001\nLute l.ogg\nDEFAULT d.ogg\nflute f.ogg\n' > "$work/corpus/song"
printf '\x02songs 2\na.song\nb.song\n' > "$work/corpus/master"
printf '\x02bardsongs x\nrain r\nenvironment p.env Tavern\nglobal g.env\n' > "$work/corpus/config"
cd "$work"
# The readers' own error lines go to the log with the fuzzer's; on a failure
# its end is shown.
if ASAN_OPTIONS=detect_leaks=1 "$work/fuzz_audio" -max_total_time="$seconds" -max_len=2048 -seed=1 \
  -print_final_stats=1 corpus >"$work/log" 2>&1; then
  grep -E '^(stat::|Done)' "$work/log" | tail -5
else
  tail -60 "$work/log"
  exit 1
fi
