#!/usr/bin/env bash
# Makes the JPEG sources of the sample scene pictures and those of the
# story's squares (content/picindex/src/, src/story/)
# and the picture-cache test fixtures (tests/fixtures/piccache/) with
# ImageMagick. Run by hand; the results are committed, so a build needs no
# ImageMagick. tools/mkpicindex.cpp packs the sources into picture files and
# "data/picindex.dat" at build time (see pictures.txt).
set -euo pipefail
cd "$(dirname "$0")/../.."

# jpg OUT ARGS...: a 24-bit JPEG without chroma subsampling.
jpg() {
  local out=$1; shift
  mkdir -p "$(dirname "$out")"
  convert "$@" -strip -type TrueColor -quality 95 -sampling-factor 1x1 "jpg:$out"
}

src=content/picindex/src

# Campfire: a night clearing with a fire whose flames flicker (3 frames).
scene_campfire() {
  local w=$1 h=$2 tw=$3 th=$4 out=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size "${w}x${h}" gradient:'#0b1030-#1d2a12' \) -geometry +0+0 -composite \
    -fill '#3a2a1a' -draw "rectangle 0,$((h*3/4)) $((w-1)),$((h-1))" \
    -fill '#f0f0d0' -draw "circle $((w*4/5)),$((h/6)) $((w*4/5+w/40)),$((h/6))"
}
scene_campfire 500 400 512 512 $src/campfire.jpg
scene_campfire 250 200 256 256 $src/campfire-low.jpg
i=0
for c in '#e05010' '#f08020' '#c03008'; do
  jpg $src/campfire-f$i.jpg -size 100x100 xc:'#3a2a1a' \
    -fill "$c" -draw "ellipse 50,$((60 - i * 4)) $((24 + i * 3)),$((36 + i * 4)) 0,360" \
    -fill '#ffd040' -draw "ellipse 50,70 10,$((14 + i * 3)) 0,360"
  i=$((i + 1))
done

# Fountain: a courtyard with a basin whose water shimmers (2 frames).
scene_fountain() {
  local w=$1 h=$2 tw=$3 th=$4 out=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size "${w}x${h}" gradient:'#8fb0d8-#c8c0a8' \) -geometry +0+0 -composite \
    -fill '#807060' -draw "rectangle $((w/4)),$((h*5/8)) $((w*3/4)),$((h*7/8))"
}
scene_fountain 500 400 512 512 $src/fountain.jpg
scene_fountain 250 200 256 256 $src/fountain-low.jpg
jpg $src/fountain-f0.jpg -size 200x40 gradient:'#3060c0-#80a0e0'
jpg $src/fountain-f1.jpg -size 200x40 gradient:'#80a0e0-#3060c0'

# The story's squares (src/story/): the stone sphinx of the town, lying on
# its plinth in a paved square ("Sphinx"); the old well, a ring of grey
# stones under a little wooden roof with a rope into its black mouth
# ("Well"); the shrine in the catacombs' mossy hall, an altar in a niche of
# a dark wall under the ground, candles burning before it, no sky
# ("Shrine"). Each is drawn on a 500 x 400 canvas (the ImageMagick arguments
# after it) and scaled into the top-left corner of its black texture.
scene() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  shift 5
  jpg "$out" -size "${tw}x${th}" xc:black \( -size 500x400 "$@" -resize "${w}x${h}!" \) -geometry +0+0 -composite
}
SPHINX=(gradient:'#9cb8d8-#d8d0b8'
  -fill '#8a6a50' -draw "rectangle 0,150 110,300" -draw "rectangle 390,130 499,300"
  -fill '#5a4030' -draw "rectangle 30,190 60,240" -draw "rectangle 430,170 460,220"
  -fill '#9a9488' -draw "rectangle 0,300 499,399"
  -fill '#86807a' -draw "line 0,330 499,330" -draw "line 0,365 499,365"
  -fill '#7a7268' -draw "rectangle 110,250 400,310"
  -fill '#a8a090' -draw "rectangle 120,240 390,252"
  -fill '#c2b490' -draw "ellipse 270,215 100,28 0,360"
  -draw "rectangle 150,220 190,242" -draw "rectangle 320,222 370,242"
  -draw "polygon 145,240 115,240 115,230 150,226"
  -draw "rectangle 150,130 200,220"
  -fill '#b0a27e' -draw "polygon 140,135 210,135 222,200 128,200"
  -fill '#c2b490' -draw "ellipse 175,140 24,30 0,360"
  -fill '#4a4038' -draw "ellipse 166,136 4,3 0,360" -draw "ellipse 184,136 4,3 0,360"
                  -draw "line 168,156 182,156"
  -fill '#a89a78' -draw "polygon 360,205 400,180 404,190 368,212")
WELL=(gradient:'#a8c0dc-#d8ccb0'
  -fill '#8a8278' -draw "rectangle 0,290 499,399"
  -fill '#77706a' -draw "line 0,320 499,320" -draw "line 0,355 499,355"
                  -draw "line 90,290 60,399" -draw "line 410,290 440,399"
  -fill '#5a3a20' -draw "rectangle 155,120 170,270" -draw "rectangle 330,120 345,270"
  -fill '#6a4426' -draw "polygon 130,125 250,60 370,125 350,135 250,82 150,135"
  -fill '#4a3018' -draw "rectangle 165,150 335,158"
  -fill '#d0b070' -draw "rectangle 247,158 253,250"
  -fill '#6e6a64' -draw "ellipse 250,270 120,34 0,360"
  -fill '#8c8880' -draw "rectangle 130,270 370,340"
  -fill '#8c8880' -draw "ellipse 250,340 120,30 0,180"
  -fill '#0a0a0c' -draw "ellipse 250,268 100,24 0,360"
  -fill '#6e6a64' -draw "line 130,295 370,295" -draw "line 130,318 370,318"
                  -draw "line 180,270 180,295" -draw "line 240,295 240,318" -draw "line 300,270 300,295"
                  -draw "line 200,318 200,340" -draw "line 320,318 320,340"
  -fill '#8a6a3a' -draw "rectangle 236,236 264,262")
SHRINE=(gradient:'#1c2016-#2a2a24'
  -fill '#34402a' -draw "ellipse 60,80 70,40 0,360" -draw "ellipse 450,150 60,50 0,360"
                  -draw "ellipse 80,300 60,30 0,360" -draw "ellipse 430,330 70,30 0,360"
  -fill '#3a3830' -draw "rectangle 0,330 499,399"
  -fill '#141410' -draw "roundrectangle 150,60 350,300 90,90"
  -fill '#4a3a22' -draw "ellipse 250,200 95,120 0,360"
  -fill '#5e584c' -draw "rectangle 170,220 330,320"
  -fill '#6e685a' -draw "rectangle 160,210 340,226"
  -fill '#b89838' -draw "circle 250,150 250,178"
  -stroke '#b89838' -strokewidth 4
    -draw "line 250,108 250,192" -draw "line 208,150 292,150"
    -draw "line 220,120 280,180" -draw "line 280,120 220,180"
  -stroke none
  -fill '#e8e0c8' -draw "rectangle 182,180 192,210" -draw "rectangle 308,176 318,210"
                  -draw "rectangle 200,300 210,330" -draw "rectangle 290,300 300,330"
  -fill '#ffb030' -draw "ellipse 187,172 5,9 0,360" -draw "ellipse 313,168 5,9 0,360"
                  -draw "ellipse 205,292 5,9 0,360" -draw "ellipse 295,292 5,9 0,360"
  -fill '#fff0a0' -draw "ellipse 187,174 2,4 0,360" -draw "ellipse 313,170 2,4 0,360"
                  -draw "ellipse 205,294 2,4 0,360" -draw "ellipse 295,294 2,4 0,360")
for name in Sphinx Well Shrine; do
  declare -n draw=${name^^}
  scene $src/story/$name.jpg 500 400 512 512 "${draw[@]}"
  scene $src/story/$name-low.jpg 250 200 256 256 "${draw[@]}"
  unset -n draw
done

# Test fixtures: flat colours that survive JPEG coding.
fix=tests/fixtures/piccache
jpg $fix/red512.jpg -size 512x512 xc:'#c81e1e'
jpg $fix/green256.jpg -size 256x256 xc:'#1ec81e'
jpg $fix/blue64.jpg -size 64x64 xc:'#1e1ec8'
jpg $fix/yellow64.jpg -size 64x64 xc:'#c8c81e'
