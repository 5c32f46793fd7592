#!/usr/bin/env bash
# Builds the game twice (normal, and with AddressSanitizer + UBSan) and runs
# the whole test suite on both. Starts its own Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
export SDL_AUDIODRIVER=dummy
export LIBGL_ALWAYS_SOFTWARE=1

jobs=$(nproc)
status=0
bash tools/build.sh normal
(cd build && ctest --output-on-failure -j "$jobs" --timeout 900) || status=1
bash tools/build.sh asan
(cd build-asan && ctest --output-on-failure -j "$jobs" --timeout 1500) || status=1
exit $status
