#!/usr/bin/env bash
# Draws the main screen's frame and its ten status icons with ImageMagick as
# high- and low-quality JPEG sources (src/NAME.jpg, src/NAME-low.jpg). The
# results are committed; the build packs them into the game's gzip texture
# containers (pics/other/NAME.dat) with tools/mkdattex.
#
# Pictures are stored bottom row first: the game draws them with texture row 0
# at the bottom of the screen, so the frame's panes sit at the texture
# coordinates the interface uses (t = y / 1024 with y counted upward).
set -euo pipefail
cd "$(dirname "$0")"
out=src
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

emit() {  # emit <name> <source png>: high- and low-quality JPEG sources
  convert "$2" -flip -strip -type TrueColor -quality 92 "jpg:$out/$1.jpg"
  convert "$2" -flip -strip -type TrueColor -quality 55 "jpg:$out/$1-low.jpg"
}

# --- the frame: 1024 x 768, panes in screen coordinates (y downward here) ---
# upper-left view 85..585 x 71..471, upper-right pane 708..1000 x 53..468,
# banner strip 128..548 x 11..51, icon row 150..520 x 471..535,
# roster 112..912 x 571..741.
convert -size 1024x768 xc:'#3b3128' \
  -seed 7 -attenuate 0.25 +noise Gaussian \
  -fill '#5a4a3a' -draw 'rectangle 0,0 1023,8' -draw 'rectangle 0,759 1023,767' \
  -draw 'rectangle 0,0 8,767' -draw 'rectangle 1015,0 1023,767' \
  -fill '#1e1812' -draw 'rectangle 79,65 591,477' \
  -fill '#000000' -draw 'rectangle 85,71 585,471' \
  -fill '#1e1812' -draw 'rectangle 702,47 1006,474' \
  -fill '#d9c9a3' -draw 'rectangle 708,53 1000,468' \
  -fill '#cdbb92' -draw 'rectangle 716,61 992,460' \
  -fill '#d9c9a3' -draw 'rectangle 720,65 988,456' \
  -fill '#2a221a' -draw 'rectangle 124,7 552,55' \
  -fill '#4d3f31' -draw 'rectangle 128,11 548,51' \
  -fill '#2a221a' -draw 'rectangle 150,467 524,539' \
  -fill '#1e1812' -draw 'rectangle 106,565 918,747' \
  -fill '#241d16' -draw 'rectangle 112,571 912,741' \
  -fill none -stroke '#8a7456' -strokewidth 2 \
  -draw 'rectangle 82,68 588,474' -draw 'rectangle 705,50 1003,471' \
  -draw 'rectangle 109,568 915,744' -draw 'rectangle 126,9 550,53' \
  "$tmp/frame.png"
emit iface "$tmp/frame.png"

# --- icons: 64 x 64 on a dark disc ----------------------------------------
icon() {  # icon <name> <disc colour> <draw args...>
  local name=$1 disc=$2
  shift 2
  convert -size 64x64 xc:'#2a221a' \
    -fill "$disc" -stroke '#8a7456' -strokewidth 2 -draw 'circle 32,32 32,4' \
    -stroke none "$@" "$tmp/$name.png"
  emit "$name" "$tmp/$name.png"
}

off='#3f352b'
on='#6d5a3e'
# Compass: a needle pointing to the facing, on a lit disc; "off" is dim.
icon compOff "$off" -fill '#5c5045' -draw 'circle 32,32 32,27'
icon compNorth "$on" -fill '#c8342c' -draw 'polygon 32,8 24,34 40,34' -fill '#e8e0c8' -draw 'polygon 24,34 40,34 32,56'
icon compSouth "$on" -fill '#c8342c' -draw 'polygon 32,56 24,30 40,30' -fill '#e8e0c8' -draw 'polygon 24,30 40,30 32,8'
icon compWest "$on" -fill '#c8342c' -draw 'polygon 8,32 34,24 34,40' -fill '#e8e0c8' -draw 'polygon 34,24 34,40 56,32'
icon compEast "$on" -fill '#c8342c' -draw 'polygon 56,32 30,24 30,40' -fill '#e8e0c8' -draw 'polygon 30,24 30,40 8,32'
# Music: a note.
icon musicOff "$off" -fill '#5c5045' -draw 'ellipse 26,44 8,6 0,360' -draw 'rectangle 32,16 35,44' -draw 'polygon 35,16 46,22 46,27 35,21'
icon musicOn "$on" -fill '#f0d890' -draw 'ellipse 26,44 8,6 0,360' -draw 'rectangle 32,16 35,44' -draw 'polygon 35,16 46,22 46,27 35,21'
# Shield.
icon shieldOff "$off" -fill '#5c5045' -draw 'polygon 18,14 46,14 46,34 32,52 18,34'
icon shieldOn "$on" -fill '#7fb0e0' -draw 'polygon 18,14 46,14 46,34 32,52 18,34' -fill '#e8e0c8' -draw 'rectangle 30,18 34,46' -draw 'rectangle 22,26 42,30'
# Scry: an eye.
icon scryOff "$off" -fill '#5c5045' -draw 'ellipse 32,32 20,10 0,360'
icon scryOn "$on" -fill '#e8e0c8' -draw 'ellipse 32,32 20,10 0,360' -fill '#3a7a4a' -draw 'circle 32,32 32,24' -fill '#101010' -draw 'circle 32,32 32,29'
# Light: a flame.
icon lightOff "$off" -fill '#5c5045' -draw 'polygon 32,10 44,34 40,48 24,48 20,34'
icon lightOn "$on" -fill '#f0a030' -draw 'polygon 32,10 44,34 40,48 24,48 20,34' -fill '#fff0a0' -draw 'polygon 32,24 38,38 36,46 28,46 26,38'
