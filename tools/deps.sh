#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing the game
# needs, when one is missing. Run as root on a fresh machine; does nothing when
# all are there.
set -euo pipefail
PACKAGES=(
  g++ cmake make pkg-config
  libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsmpeg-dev
  zlib1g-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  python3.11-dev libpython3-dev
  libgtest-dev
  clang-14 libclang-rt-14-dev
  libfreetype-dev fonts-dejavu-core
  xvfb xdotool x11-utils
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
