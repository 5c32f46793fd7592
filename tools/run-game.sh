#!/usr/bin/env bash
# Builds what the game needs (no test programs) and starts it on the bundled
# data. Extra arguments go to vellrun (for example -w for a window,
# -skipintro).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh game
cd build/game
exec ./vellrun "$@"
