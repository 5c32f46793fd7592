#!/usr/bin/env bash
# Configures and builds in build/: everything ("normal", the default), or
# only what playing needs ("game": the programs and the game folder, no test
# programs); or everything in build-asan/ with "asan".
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
kind=${1:-normal}
jobs=$(nproc)
case "$kind" in
  asan)
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELL_SANITIZE=ON >/dev/null
    cmake --build build-asan -j "$jobs"
    ;;
  game)
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j "$jobs" --target game
    ;;
  *)
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j "$jobs"
    ;;
esac
