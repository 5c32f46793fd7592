#!/usr/bin/env bash
# Builds the game twice (normal, and with AddressSanitizer + UBSan) and runs
# the whole test suite on both. Starts its own Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

. tools/display.sh
ensure_display
export SDL_AUDIODRIVER=dummy
export LIBGL_ALWAYS_SOFTWARE=1

jobs=$(nproc)
status=0
bash tools/build.sh normal
(cd build && ctest --output-on-failure -j "$jobs" --timeout 900) || status=1
bash tools/build.sh asan
(cd build-asan && ctest --output-on-failure -j "$jobs" --timeout 1500) || status=1
exit $status
