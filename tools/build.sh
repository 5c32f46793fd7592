#!/usr/bin/env bash
# Configures and builds the game in build/ (or build-asan/ with "asan").
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
kind=${1:-normal}
jobs=$(nproc)
if [ "$kind" = asan ]; then
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELL_SANITIZE=ON >/dev/null
  cmake --build build-asan -j "$jobs"
else
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$jobs"
fi
