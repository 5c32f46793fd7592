#!/usr/bin/env bash
# Makes the JPEG sources of the pictures of the town's shops and of the
# buildings that sell little or nothing (content/picindex/src/town/) with
# ImageMagick: Elium's Energy Emporium ("Eliums"), the Barracks, a
# stranger's House, the weapon shops ("Weapon_Shop"), the General Store
# ("Store") and Landru's Craft Supply ("Landrus"). Run by hand; the results
# are committed, so a build needs no ImageMagick. tools/mkpicindex.cpp packs
# them into picture files (pictures.txt lists them).
set -euo pipefail
cd "$(dirname "$0")/../.."

src=content/picindex/src/town
mkdir -p "$src"

# pic NAME DRAW...: the scene drawn in a 500 x 400 frame, written at the high
# detail (500 x 400 in a 512 x 512 texture) and the low (250 x 200 in 256).
pic() {
  local name=$1; shift
  local size
  for size in "500 400 512 $src/$name.jpg" "250 200 256 $src/$name-low.jpg"; do
    read -r w h t out <<<"$size"
    convert -size "${t}x${t}" xc:black \
      \( -size 500x400 "$@" -resize "${w}x${h}!" \) -geometry +0+0 -composite \
      -strip -type TrueColor -quality 90 -sampling-factor 1x1 "jpg:$out"
  done
}

# Elium's: a dark blue room, shelves of glowing crystals and a humming orb.
pic Eliums gradient:'#101838-#30306a' \
  -fill '#2a1a40' -draw "rectangle 0,300 499,399" \
  -fill '#4a3a20' -draw "rectangle 40,90 200,100" -draw "rectangle 40,170 200,180" -draw "rectangle 300,90 460,100" \
  -fill '#60f0ff' -draw "polygon 60,90 70,60 80,90" -draw "polygon 110,90 118,55 126,90" -draw "polygon 160,90 172,65 184,90" \
  -fill '#ff60f0' -draw "polygon 70,170 80,140 90,170" -draw "polygon 140,170 150,130 160,170" \
  -fill '#a0ff80' -draw "polygon 320,90 332,62 344,90" -draw "polygon 400,90 410,58 420,90" \
  -fill '#3a2a18' -draw "rectangle 200,260 300,300" \
  -fill '#80c0ff' -draw "circle 250,215 250,260" \
  -fill '#e0f0ff' -draw "circle 250,205 250,222"

# The Barracks: grey stone, a rack of spears and shields, a guard's helmet.
pic Barracks gradient:'#505058-#303034' \
  -fill '#3a3a3a' -draw "rectangle 0,310 499,399" \
  -fill '#5a3a1a' -draw "rectangle 40,120 240,130" -draw "rectangle 40,240 240,250" \
  -fill '#b0b0b8' -draw "line 60,60 60,300" -draw "line 100,60 100,300" -draw "line 140,60 140,300" -draw "line 180,60 180,300" \
  -draw "polygon 55,60 60,40 65,60" -draw "polygon 95,60 100,40 105,60" -draw "polygon 135,60 140,40 145,60" \
  -draw "polygon 175,60 180,40 185,60" \
  -fill '#8a1a1a' -draw "ellipse 320,180 40,55 0,360" -draw "ellipse 420,180 40,55 0,360" \
  -fill '#d0b040' -draw "circle 320,180 320,192" -draw "circle 420,180 420,192" \
  -fill '#909098' -draw "ellipse 370,320 45,35 180,360" -draw "rectangle 325,320 415,330"

# A stranger's house: a warm room, a table with a candle, a bed, a window.
pic House gradient:'#6a4a30-#3a2818' \
  -fill '#4a3020' -draw "rectangle 0,300 499,399" \
  -fill '#203050' -draw "rectangle 330,60 450,160" \
  -fill '#5a3a20' -draw "line 390,60 390,160" -draw "line 330,110 450,110" \
  -fill '#7a5030' -draw "rectangle 60,230 260,250" -draw "rectangle 75,250 90,330" -draw "rectangle 230,250 245,330" \
  -fill '#f0e8d0' -draw "rectangle 150,195 162,230" \
  -fill '#ffc040' -draw "ellipse 156,187 6,10 0,360" \
  -fill '#8a2a2a' -draw "rectangle 300,250 480,300" \
  -fill '#e8e0d0' -draw "rectangle 300,235 350,255"

# A weapon shop: swords and axes on a wall above the counter.
pic Weapon_Shop gradient:'#5a4a3a-#2a2018' \
  -fill '#6a4a2a' -draw "rectangle 0,280 499,399" \
  -fill '#3a2818' -draw "rectangle 0,280 499,292" \
  -fill '#c8c8d0' -draw "polygon 80,60 92,60 92,200 86,215 80,200" -draw "polygon 160,50 172,50 172,210 166,225 160,210" \
  -draw "polygon 330,60 342,60 342,200 336,215 330,200" \
  -fill '#8a6a2a' -draw "rectangle 66,200 106,208" -draw "rectangle 146,210 186,218" -draw "rectangle 316,200 356,208" \
  -fill '#6a4a2a' -draw "rectangle 243,70 251,230" -draw "rectangle 413,70 421,230" \
  -fill '#b0b0b8' -draw "polygon 251,75 285,65 290,110 251,105" -draw "polygon 413,75 380,65 375,110 413,105"

# The General Store: shelves of jars, sacks and rope.
pic Store gradient:'#6a5a40-#3a3020' \
  -fill '#5a4028' -draw "rectangle 0,300 499,399" \
  -fill '#4a3018' -draw "rectangle 20,100 480,110" -draw "rectangle 20,200 480,210" \
  -fill '#a0c060' -draw "rectangle 40,60 70,100" -draw "rectangle 90,70 115,100" \
  -fill '#c06040' -draw "rectangle 140,55 175,100" -draw "rectangle 200,65 225,100" \
  -fill '#6080c0' -draw "rectangle 260,60 290,100" -draw "rectangle 320,70 345,100" \
  -fill '#d8c090' -draw "ellipse 80,175 35,25 0,360" -draw "ellipse 170,175 35,25 0,360" \
  -fill '#b09060' -draw "circle 380,170 380,200" \
  -fill '#8a6a3a' -draw "ellipse 120,340 60,35 0,360" -draw "ellipse 380,340 60,35 0,360"

# Landru's Craft Supply: a workbench with tools, spools and a lute body.
pic Landrus gradient:'#4a5a4a-#202a20' \
  -fill '#4a3a28' -draw "rectangle 0,300 499,399" \
  -fill '#7a5a30' -draw "rectangle 30,240 470,260" \
  -fill '#909098' -draw "rectangle 60,80 70,180" -draw "rectangle 45,70 85,90" \
  -draw "rectangle 120,80 128,180" -draw "polygon 110,80 138,80 124,60" \
  -fill '#c04040' -draw "rectangle 180,205 210,240" \
  -fill '#40a040' -draw "rectangle 225,210 255,240" \
  -fill '#4060c0' -draw "rectangle 270,200 300,240" \
  -fill '#b07a40' -draw "ellipse 400,160 50,65 0,360" \
  -fill '#3a2818' -draw "circle 400,150 400,165" \
  -fill '#8a5a28' -draw "rectangle 393,40 407,100"
