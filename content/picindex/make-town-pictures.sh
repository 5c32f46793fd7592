#!/usr/bin/env bash
# Makes the JPEG sources of the town buildings' pictures (content/picindex/
# src/town/) with ImageMagick: the Hall of Adventurers ("Adv_Hall"), the
# Temple ("Temple"), the Collegium of Magika ("Magika"), the Order of the
# Lyre ("Lyre") and the shut door that every building shows while it is
# closed ("Closed"). Run by
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

# temple OUT W H TEXW TEXH: a pale nave with pillars, an altar with two
# candles and a round window of coloured glass above it.
temple() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#d8d0c0-#8a8070' \
       -fill '#6a6458' -draw "rectangle 0,310 499,399" \
       -fill '#b8b0a0' -draw "rectangle 40,40 80,310" -draw "rectangle 420,40 460,310" \
                       -draw "rectangle 130,70 160,310" -draw "rectangle 340,70 370,310" \
       -fill '#3050a0' -draw "circle 250,110 250,160" \
       -fill '#c03030' -draw "polygon 250,70 285,130 215,130" \
       -fill '#e0c040' -draw "circle 250,112 250,122" \
       -fill '#f0ece0' -draw "rectangle 190,230 310,300" \
       -fill '#a08030' -draw "rectangle 180,222 320,232" \
       -fill '#f8f0d0' -draw "rectangle 200,180 210,222" -draw "rectangle 290,180 300,222" \
       -fill '#ffb030' -draw "ellipse 205,172 4,8 0,360" -draw "ellipse 295,172 4,8 0,360" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

# magika OUT W H TEXW TEXH: a study under a starry vault: shelves of
# books, a lectern with an open tome and a glowing orb.
magika() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#1a1040-#4a3070' \
       -fill '#e0e0ff' -draw "point 60,30" -draw "point 140,55" -draw "point 230,20" -draw "point 330,45" \
                       -draw "point 420,25" -draw "point 470,70" -draw "point 90,80" \
       -fill '#3a2418' -draw "rectangle 20,120 150,380" -draw "rectangle 350,120 480,380" \
       -fill '#8a2a2a' -draw "rectangle 30,135 140,165" -draw "rectangle 360,135 470,165" \
       -fill '#2a5a2a' -draw "rectangle 30,195 140,225" -draw "rectangle 360,195 470,225" \
       -fill '#2a3a8a' -draw "rectangle 30,255 140,285" -draw "rectangle 360,255 470,285" \
       -fill '#5a3a20' -draw "polygon 215,380 285,380 270,260 230,260" \
       -fill '#f0e8c8' -draw "polygon 195,262 250,250 305,262 305,240 250,228 195,240" \
       -fill '#80c0ff' -draw "circle 250,170 250,200" \
       -fill '#e0f0ff' -draw "circle 250,165 250,178" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

# lyre OUT W H TEXW TEXH: a warm music room with a great golden lyre on a
# stage, its strings, and a curtain on each side.
lyre() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#5a2a10-#9a6030' \
       -fill '#7a1a2a' -draw "polygon 0,0 110,0 70,399 0,399" -draw "polygon 499,0 390,0 430,399 499,399" \
       -fill '#4a2a14' -draw "rectangle 60,330 440,399" \
       -fill '#d8a830' -draw "ellipse 190,170 30,110 0,360" -draw "ellipse 310,170 30,110 0,360" \
       -fill '#9a6030' -draw "ellipse 190,170 14,96 0,360" -draw "ellipse 310,170 14,96 0,360" \
       -fill '#d8a830' -draw "rectangle 170,70 330,84" -draw "rectangle 215,270 285,320" \
       -fill '#f8f0c0' -draw "line 225,84 225,270" -draw "line 242,84 242,270" -draw "line 258,84 258,270" \
                       -draw "line 275,84 275,270" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

hall "$src/Adv_Hall.jpg" 500 400 512 512
hall "$src/Adv_Hall-low.jpg" 250 200 256 256
closed "$src/Closed.jpg" 500 400 512 512
closed "$src/Closed-low.jpg" 250 200 256 256
temple "$src/Temple.jpg" 500 400 512 512
temple "$src/Temple-low.jpg" 250 200 256 256
magika "$src/Magika.jpg" 500 400 512 512
magika "$src/Magika-low.jpg" 250 200 256 256
lyre "$src/Lyre.jpg" 500 400 512 512
lyre "$src/Lyre-low.jpg" 250 200 256 256
