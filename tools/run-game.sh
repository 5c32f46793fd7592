#!/usr/bin/env bash
# Builds the game and starts it on the bundled data. Extra arguments go to
# vellrun (for example -w for a window, -skipintro).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
cd build/game
exec ./vellrun "$@"
