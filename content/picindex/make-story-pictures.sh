#!/usr/bin/env bash
# Makes the JPEG sources of the story squares' pictures (content/picindex/
# src/story/) with ImageMagick: the stone sphinx of the town ("Sphinx"), the
# old well ("Well") and the shrine in the catacombs' mossy hall ("Shrine").
# Run by hand; the results are committed, so a build needs no ImageMagick.
# tools/mkpicindex.cpp packs them into picture files (pictures.txt lists
# them).
set -euo pipefail
cd "$(dirname "$0")/../.."

src=content/picindex/src/story
mkdir -p "$src"

jpg() {
  local out=$1; shift
  convert "$@" -strip -type TrueColor -quality 90 -sampling-factor 1x1 "jpg:$out"
}

# sphinx OUT W H TEXW TEXH: a stone sphinx lying on its plinth in a paved
# square, house fronts behind it under a pale sky.
sphinx() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#9cb8d8-#d8d0b8' \
       -fill '#8a6a50' -draw "rectangle 0,150 110,300" -draw "rectangle 390,130 499,300" \
       -fill '#5a4030' -draw "rectangle 30,190 60,240" -draw "rectangle 430,170 460,220" \
       -fill '#9a9488' -draw "rectangle 0,300 499,399" \
       -fill '#86807a' -draw "line 0,330 499,330" -draw "line 0,365 499,365" \
       -fill '#7a7268' -draw "rectangle 110,250 400,310" \
       -fill '#a8a090' -draw "rectangle 120,240 390,252" \
       -fill '#c2b490' -draw "ellipse 270,215 100,28 0,360" \
       -draw "rectangle 150,220 190,242" -draw "rectangle 320,222 370,242" \
       -draw "polygon 145,240 115,240 115,230 150,226" \
       -draw "rectangle 150,130 200,220" \
       -fill '#b0a27e' -draw "polygon 140,135 210,135 222,200 128,200" \
       -fill '#c2b490' -draw "ellipse 175,140 24,30 0,360" \
       -fill '#4a4038' -draw "ellipse 166,136 4,3 0,360" -draw "ellipse 184,136 4,3 0,360" \
                       -draw "line 168,156 182,156" \
       -fill '#a89a78' -draw "polygon 360,205 400,180 404,190 368,212" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

# well OUT W H TEXW TEXH: a round well of grey stones under a little wooden
# roof, a rope hanging into its black mouth, cobbles around it.
well() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#a8c0dc-#d8ccb0' \
       -fill '#8a8278' -draw "rectangle 0,290 499,399" \
       -fill '#77706a' -draw "line 0,320 499,320" -draw "line 0,355 499,355" \
                       -draw "line 90,290 60,399" -draw "line 410,290 440,399" \
       -fill '#5a3a20' -draw "rectangle 155,120 170,270" -draw "rectangle 330,120 345,270" \
       -fill '#6a4426' -draw "polygon 130,125 250,60 370,125 350,135 250,82 150,135" \
       -fill '#4a3018' -draw "rectangle 165,150 335,158" \
       -fill '#d0b070' -draw "rectangle 247,158 253,250" \
       -fill '#6e6a64' -draw "ellipse 250,270 120,34 0,360" \
       -fill '#8c8880' -draw "rectangle 130,270 370,340" \
       -fill '#8c8880' -draw "ellipse 250,340 120,30 0,180" \
       -fill '#0a0a0c' -draw "ellipse 250,268 100,24 0,360" \
       -fill '#6e6a64' -draw "line 130,295 370,295" -draw "line 130,318 370,318" \
                       -draw "line 180,270 180,295" -draw "line 240,295 240,318" -draw "line 300,270 300,295" \
                       -draw "line 200,318 200,340" -draw "line 320,318 320,340" \
       -fill '#8a6a3a' -draw "rectangle 236,236 264,262" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

# shrine OUT W H TEXW TEXH: a niche in a dark mossy wall under the ground, a
# stone altar with a carved sun, candles burning before it and their warm
# glow on the stones; no sky.
shrine() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#1c2016-#2a2a24' \
       -fill '#34402a' -draw "ellipse 60,80 70,40 0,360" -draw "ellipse 450,150 60,50 0,360" \
                       -draw "ellipse 80,300 60,30 0,360" -draw "ellipse 430,330 70,30 0,360" \
       -fill '#3a3830' -draw "rectangle 0,330 499,399" \
       -fill '#141410' -draw "roundrectangle 150,60 350,300 90,90" \
       -fill '#4a3a22' -draw "ellipse 250,200 95,120 0,360" \
       -fill '#5e584c' -draw "rectangle 170,220 330,320" \
       -fill '#6e685a' -draw "rectangle 160,210 340,226" \
       -fill '#b89838' -draw "circle 250,150 250,178" \
       -stroke '#b89838' -strokewidth 4 \
         -draw "line 250,108 250,192" -draw "line 208,150 292,150" \
         -draw "line 220,120 280,180" -draw "line 280,120 220,180" \
       -stroke none \
       -fill '#e8e0c8' -draw "rectangle 182,180 192,210" -draw "rectangle 308,176 318,210" \
                       -draw "rectangle 200,300 210,330" -draw "rectangle 290,300 300,330" \
       -fill '#ffb030' -draw "ellipse 187,172 5,9 0,360" -draw "ellipse 313,168 5,9 0,360" \
                       -draw "ellipse 205,292 5,9 0,360" -draw "ellipse 295,292 5,9 0,360" \
       -fill '#fff0a0' -draw "ellipse 187,174 2,4 0,360" -draw "ellipse 313,170 2,4 0,360" \
                       -draw "ellipse 205,294 2,4 0,360" -draw "ellipse 295,294 2,4 0,360" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

sphinx "$src/Sphinx.jpg" 500 400 512 512
sphinx "$src/Sphinx-low.jpg" 250 200 256 256
well "$src/Well.jpg" 500 400 512 512
well "$src/Well-low.jpg" 250 200 256 256
shrine "$src/Shrine.jpg" 500 400 512 512
shrine "$src/Shrine-low.jpg" 250 200 256 256
