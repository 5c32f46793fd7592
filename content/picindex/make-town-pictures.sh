#!/usr/bin/env bash
# Makes the JPEG sources of the town buildings' pictures (content/picindex/
# src/town/) with ImageMagick: the Hall of Adventurers ("Adv_Hall") and the
# shut door that every building shows while it is closed ("Closed"). Run by
# hand; the results are committed, so a build needs no ImageMagick.
# tools/mkpicindex.cpp packs them into picture files (pictures.txt lists
# them).
set -euo pipefail
cd "$(dirname "$0")/../.."

src=content/picindex/src/town
mkdir -p "$src"

jpg() {
  local out=$1; shift
  convert "$@" -strip -type TrueColor -quality 90 -sampling-factor 1x1 "jpg:$out"
}

# hall OUT W H TEXW TEXH: a long timbered hall with a hearth, banners and a
# notice board of names, drawn in a 500 x 400 frame and scaled to W x H.
hall() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#3a2818-#7a5a38' \
       -fill '#5a4028' -draw "rectangle 0,300 499,399" \
       -fill '#2a1a10' -draw "rectangle 0,40 499,58" -draw "rectangle 60,58 78,300" -draw "rectangle 422,58 440,300" \
       -fill '#8a2020' -draw "polygon 110,70 160,70 160,170 135,150 110,170" \
       -fill '#20408a' -draw "polygon 340,70 390,70 390,170 365,150 340,170" \
       -fill '#c8a060' -draw "rectangle 190,90 310,200" \
       -fill '#3a2818' -draw "line 200,110 300,110" -draw "line 200,130 290,130" -draw "line 200,150 300,150" \
                       -draw "line 200,170 280,170" \
       -fill '#404040' -draw "rectangle 200,240 300,300" \
       -fill '#e07020' -draw "ellipse 250,285 30,14 0,360" \
       -fill '#ffd040' -draw "ellipse 250,280 12,18 0,360" \
       -fill '#6a4a2a' -draw "rectangle 90,320 410,340" -draw "rectangle 110,340 125,380" -draw "rectangle 375,340 390,380" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

# closed OUT W H TEXW TEXH: a barred door under a lantern at night.
closed() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#0a0e24-#2a2a3a' \
       -fill '#4a4a50' -draw "rectangle 120,60 380,399" \
       -fill '#4a2e18' -draw "roundrectangle 170,110 330,399 60,60" \
       -fill '#2a1a0c' -draw "line 250,120 250,399" \
       -fill '#707078' -draw "rectangle 150,230 350,250" \
       -fill '#ffd070' -draw "circle 250,80 250,92" \
       -fill '#e8e0c8' -draw "rectangle 205,150 295,185" \
       -fill '#3a2818' -draw "line 215,162 285,162" -draw "line 215,174 275,174" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

hall "$src/Adv_Hall.jpg" 500 400 512 512
hall "$src/Adv_Hall-low.jpg" 250 200 256 256
closed "$src/Closed.jpg" 500 400 512 512
closed "$src/Closed-low.jpg" 250 200 256 256
