#!/usr/bin/env bash
# Builds the core fuzz target with clang's libFuzzer (plus ASan and UBSan)
# and runs it for a bounded time from a small seed corpus.
#   run.sh SOURCE_DIR WORK_DIR SECONDS
set -euo pipefail
src=$1
work=$2
seconds=${3:-15}
cxx=$(command -v clang++-14 || command -v clang++)
mkdir -p "$work/corpus"
files=(core/MemStream.cpp core/RefStr.cpp core/TagValue.cpp core/TagList.cpp core/Storable.cpp
       core/ArchiveDir.cpp core/ArchiveFile.cpp core/ConfigFile.cpp platform/FileIO.cpp platform/Files.cpp)
"$cxx" -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$src" "${files[@]/#/$src/}" "$src/tests/core/fuzz/CoreFuzz.cpp" -o "$work/fuzz_core"
# Seeds: an empty archive, a keyed list and a few text lines.
printf '\x00\x01\x00\x00\x00\x0c\x00\x00\x00\x0c\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
  > "$work/corpus/empty_archive"
printf '\x01\x02\x00\x00\x00\x01\x00\x00\x00A\x02\x05\x00\x00\x00\x04\x00\x00\x00flag\x04\x01' > "$work/corpus/taglist"
printf '\x02\x10# comment\r\ndepth 24\n\nresolution 1024x768\r\n' > "$work/corpus/lines"
cd "$work"
ASAN_OPTIONS=detect_leaks=1 "$work/fuzz_core" -max_total_time="$seconds" -max_len=4096 -seed=1 \
  -print_final_stats=1 corpus 2>&1 | tail -15
