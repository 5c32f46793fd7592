#!/usr/bin/env bash
# Draws the textures of the sample world (Renibister and the catacombs under
# it) and the sky pictures with ImageMagick, and packs the wall, floor and
# billboard textures into the game's gzip texture container with mkdattex.
# The results are committed; a build only copies them.
#
#   make-textures.sh [path of mkdattex]
set -euo pipefail
cd "$(dirname "$0")"
mkdattex=${1:-../../build/tools/mkdattex}
[ -x "$mkdattex" ] || { echo "mkdattex not found at $mkdattex (build it first)" >&2; exit 1; }
mkdattex=$(cd "$(dirname "$mkdattex")" && pwd)/$(basename "$mkdattex")
out=pics
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

# pack <name> <png> [<alpha png>]: high and low JPEG (and alpha) into <name>.dat.
# Pictures are stored top row first: the game draws the top row at the top
# of a wall or billboard, and at the north edge of a floor.
pack() {
  convert "$2" -strip -type TrueColor -quality 88 "jpg:$tmp/$1.hi.jpg"
  convert "$2" -strip -resize 50% -type TrueColor -quality 50 "jpg:$tmp/$1.lo.jpg"
  if [ $# -ge 3 ]; then
    convert "$3" -strip -type TrueColor -quality 95 "jpg:$tmp/$1.ahi.jpg"
    convert "$3" -strip -resize 50% -type TrueColor -quality 95 "jpg:$tmp/$1.alo.jpg"
    "$mkdattex" "$out/$1.dat" "$tmp/$1.hi.jpg" "$tmp/$1.lo.jpg" "$tmp/$1.ahi.jpg" "$tmp/$1.alo.jpg"
  else
    "$mkdattex" "$out/$1.dat" "$tmp/$1.hi.jpg" "$tmp/$1.lo.jpg"
  fi
}

# Rows of stone blocks in a colour, with mortar lines.
blocks() {  # blocks <png> <stone colour> <mortar colour> <seed>
  convert -size 128x128 xc:"$2" -seed "$4" -attenuate 0.6 +noise Gaussian \
    -stroke "$3" -strokewidth 3 \
    -draw 'line 0,1 127,1' -draw 'line 0,32 127,32' -draw 'line 0,64 127,64' -draw 'line 0,96 127,96' \
    -draw 'line 40,1 40,32' -draw 'line 100,1 100,32' -draw 'line 10,32 10,64' -draw 'line 70,32 70,64' \
    -draw 'line 40,64 40,96' -draw 'line 100,64 100,96' -draw 'line 10,96 10,127' -draw 'line 70,96 70,127' \
    -blur 0x0.6 "$1"
}

# --- the town -----------------------------------------------------------------
convert -size 128x128 xc:'#6f675c' -seed 11 -attenuate 0.8 +noise Gaussian \
  -stroke '#3e3a33' -strokewidth 2 \
  -draw 'line 0,0 127,0' -draw 'line 0,32 127,32' -draw 'line 0,64 127,64' -draw 'line 0,96 127,96' \
  -draw 'line 0,0 0,32' -draw 'line 64,0 64,32' -draw 'line 32,32 32,64' -draw 'line 96,32 96,64' \
  -draw 'line 0,64 0,96' -draw 'line 64,64 64,96' -draw 'line 32,96 32,127' -draw 'line 96,96 96,127' \
  -blur 0x0.8 "$tmp/cobble.png"
pack cobble "$tmp/cobble.png"

blocks "$tmp/citywall.png" '#8a8170' '#4a4438' 12
pack citywall "$tmp/citywall.png"

convert -size 128x128 xc:'#d8c9a6' -seed 13 -attenuate 0.3 +noise Gaussian \
  -fill '#5b3b22' -draw 'rectangle 0,0 127,7' -draw 'rectangle 0,120 127,127' \
  -draw 'rectangle 0,0 7,127' -draw 'rectangle 120,0 127,127' -draw 'rectangle 60,0 67,127' \
  -fill '#2c3b52' -draw 'rectangle 20,30 48,62' -draw 'rectangle 80,30 108,62' \
  -fill '#5b3b22' -draw 'rectangle 32,30 35,62' -draw 'rectangle 92,30 95,62' \
  "$tmp/house.png"
pack house "$tmp/house.png"

# Each building's door with a signboard over it that bears the building's
# name (the names come from make-maps.py). The picture is two storeys high:
# windows above, the sign at the eyes of a party on the doorstep, the door
# below it. It is seen from the street, from outside the building's square,
# so it is drawn mirrored.
font=/usr/share/fonts/truetype/dejavu/DejaVuSerifCondensed-Bold.ttf
[ -r "$font" ] || { echo "the sign font $font is missing (fonts-dejavu-core)" >&2; exit 1; }
frontage() {  # frontage <png> <seed>: the plaster and timbers of a house front
  convert -size 256x512 xc:'#c7b48c' -seed "$2" -attenuate 0.12 +noise Gaussian \
    -fill '#5b3b22' -draw 'rectangle 0,0 255,11' -draw 'rectangle 0,500 255,511' \
    -draw 'rectangle 0,0 11,511' -draw 'rectangle 244,0 255,511' -draw 'rectangle 0,236 255,247' \
    -fill '#2c3b52' -draw 'rectangle 40,70 110,170' -draw 'rectangle 146,70 216,170' \
    -fill '#5b3b22' -draw 'rectangle 72,70 78,170' -draw 'rectangle 178,70 184,170' "$1"
}
signboard() {  # signboard <png> <text, lines split by |>: a gilt name on dark wood, drawn on <png>
  convert -size 206x64 -background none -fill '#f2d675' -font "$font" -gravity center \
    caption:"$(printf '%s' "$2" | tr '|' '\n')" "$tmp/text.png"
  convert "$1" -fill '#3b2413' -stroke '#d9b44a' -strokewidth 3 -draw 'rectangle 18,262 237,336' \
    "$tmp/text.png" -geometry +25+267 -composite "$1"
}
seed=40
while IFS=$'\t' read -r tex text; do
  seed=$((seed + 1))
  frontage "$tmp/$tex.png" "$seed"
  signboard "$tmp/$tex.png" "$text"
  convert "$tmp/$tex.png" -fill '#6b4423' -draw 'rectangle 80,348 176,511' \
    -stroke '#3b2413' -strokewidth 3 -draw 'line 112,348 112,511' -draw 'line 144,348 144,511' \
    -fill '#d9b44a' -stroke none -draw 'circle 160,430 160,437' -flop "$tmp/$tex.png"
  pack "$tex" "$tmp/$tex.png"
done < <(python3 make-maps.py --signs)

# The stairs down: an arch in a house front, its steps going down into the
# dark, with a sign over it; seen from inside their own square.
frontage "$tmp/stairsdn.png" 61
signboard "$tmp/stairsdn.png" 'To the|Catacombs'
convert "$tmp/stairsdn.png" -fill '#5b3b22' -draw 'rectangle 50,414 206,511' -draw 'circle 128,414 128,342' \
  -fill '#14110e' -draw 'rectangle 58,414 198,511' -draw 'circle 128,414 128,350' \
  -fill '#2a2521' -draw 'rectangle 58,446 198,464' -fill '#3c3630' -draw 'rectangle 58,466 198,486' \
  -fill '#564e46' -draw 'rectangle 58,488 198,511' "$tmp/stairsdn.png"
pack stairsdn "$tmp/stairsdn.png"
# The first steps in the floor of the stairs' square, darker as they go
# down toward the arch (the south side).
convert -size 128x128 xc:'#6f675c' -seed 62 -attenuate 0.5 +noise Gaussian \
  -fill '#5e574e' -draw 'rectangle 8,32 119,63' -fill '#49433c' -draw 'rectangle 8,64 119,95' \
  -fill '#302c27' -draw 'rectangle 8,96 119,127' -stroke '#1e1b18' -strokewidth 2 \
  -draw 'line 8,32 119,32' -draw 'line 8,64 119,64' -draw 'line 8,96 119,96' \
  -draw 'line 8,32 8,127' -draw 'line 119,32 119,127' "$tmp/stairsfl.png"
pack stairsfl "$tmp/stairsfl.png"

# A tree on its own: the alpha picture keeps the crown and the trunk.
convert -size 128x128 xc:black -fill white -draw 'rectangle 58,70 70,127' -draw 'circle 64,48 64,6' "$tmp/tree_a.png"
convert -size 128x128 xc:'#2f5d2a' -seed 17 -attenuate 0.7 +noise Gaussian \
  -fill '#5a3d22' -draw 'rectangle 58,70 70,127' "$tmp/tree.png"
pack tree "$tmp/tree.png" "$tmp/tree_a.png"

# --- the catacombs -------------------------------------------------------------
blocks "$tmp/stone.png" '#6a6258' '#2e2a25' 21
pack stone "$tmp/stone.png"
blocks "$tmp/moss.png" '#5d6a4f' '#283022' 22
pack moss "$tmp/moss.png"
# The secret door: the same stone with one crack that only a sharp eye sees.
blocks "$tmp/secret.png" '#6a6258' '#2e2a25' 21
convert "$tmp/secret.png" -stroke '#3a352f' -strokewidth 1 -draw 'line 64,10 60,120' "$tmp/secret.png"
pack secret "$tmp/secret.png"
# An arch: the stone of a wall that hangs above a way through.
convert -size 128x128 xc:'#6a6258' -seed 23 -attenuate 0.6 +noise Gaussian \
  -fill '#4a443d' -draw 'rectangle 0,100 127,127' "$tmp/lintel.png"
pack lintel "$tmp/lintel.png"
convert -size 128x128 xc:'#4a443d' -seed 24 -attenuate 0.5 +noise Gaussian \
  -fill '#6a6258' -draw 'rectangle 10,100 118,127' -draw 'rectangle 20,75 108,100' \
  -draw 'rectangle 30,50 98,75' -draw 'rectangle 40,25 88,50' "$tmp/stairs.png"
pack stairs "$tmp/stairs.png"
convert -size 128x128 xc:black -fill white -draw 'rectangle 44,0 84,127' "$tmp/pillar_a.png"
convert -size 128x128 xc:'#8d857a' -seed 25 -attenuate 0.4 +noise Gaussian \
  -fill '#6d665d' -draw 'rectangle 44,0 50,127' "$tmp/pillar.png"
pack pillar "$tmp/pillar.png" "$tmp/pillar_a.png"
convert -size 128x128 xc:'#4b453d' -seed 26 -attenuate 0.7 +noise Gaussian -blur 0x0.7 "$tmp/dfloor.png"
pack dfloor "$tmp/dfloor.png"
convert -size 128x128 xc:'#37322c' -seed 27 -attenuate 0.7 +noise Gaussian -blur 0x1 "$tmp/ceiling.png"
pack ceiling "$tmp/ceiling.png"

# --- the sky: the sun (with its alpha) and two cloud layers as plain JPEGs -----
convert -size 64x64 xc:black -fill white -draw 'circle 32,32 32,4' -blur 0x2 "$tmp/sun_a.png"
convert -size 64x64 xc:'#fff4c0' -fill '#ffe070' -draw 'circle 32,32 32,12' -blur 0x3 "$tmp/sun.png"
pack sun "$tmp/sun.png" "$tmp/sun_a.png"
convert -size 256x256 -seed 31 plasma:grey50-grey50 -colorspace Gray -blur 0x6 -level 45%,75% \
  -type TrueColor -quality 80 "jpg:$out/clouds1.dat"
convert -size 256x256 -seed 32 plasma:grey40-grey40 -colorspace Gray -blur 0x10 -level 50%,85% \
  -type TrueColor -quality 80 "jpg:$out/clouds2.dat"
echo "textures written to $(pwd)/$out"
