#!/usr/bin/env bash
# Makes the JPEG sources of the pictures of the taverns ("Tavern"), the
# Casino ("Casino") and the Arcanium's reading page ("parchment") in
# content/picindex/src/town/ with ImageMagick. Run by hand; the results are
# committed, so a build needs no ImageMagick. tools/mkpicindex.cpp packs them
# into picture files (pictures.txt lists them).
set -euo pipefail
cd "$(dirname "$0")/../.."

src=content/picindex/src/town
mkdir -p "$src"

jpg() {
  local out=$1; shift
  convert "$@" -strip -type TrueColor -quality 90 -sampling-factor 1x1 "jpg:$out"
}

# Each drawing is made in a 500 x 400 frame and scaled to W x H in a
# TEXW x TEXH texture.
# tavern: a low beamed taproom, a bar with kegs, a hearth and tankards.
tavern() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#2a1a0c-#6a4424' \
       -fill '#1e120a' -draw "rectangle 0,30 499,46" -draw "rectangle 0,110 499,122" \
       -fill '#5a3a1c' -draw "rectangle 0,260 499,399" \
       -fill '#3a2410' -draw "rectangle 40,230 330,270" \
       -fill '#7a5030' -draw "ellipse 90,190 34,40 0,360" -draw "ellipse 170,190 34,40 0,360" \
       -fill '#2a1a0c' -draw "ellipse 90,190 10,10 0,360" -draw "ellipse 170,190 10,10 0,360" \
       -fill '#c8c8b0' -draw "rectangle 240,205 262,230" -draw "rectangle 280,210 300,230" \
       -fill '#f0e0a0' -draw "rectangle 240,200 262,208" -draw "rectangle 280,205 300,212" \
       -fill '#404040' -draw "rectangle 380,170 470,270" \
       -fill '#e07020' -draw "ellipse 425,255 30,14 0,360" \
       -fill '#ffd040' -draw "ellipse 425,248 12,18 0,360" \
       -fill '#6a4a2a' -draw "rectangle 60,320 300,336" -draw "rectangle 80,336 92,380" -draw "rectangle 268,336 280,380" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

# casino: a green gaming table under a lamp, a wheel of chance and two dice.
casino() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:'#180818-#402040' \
       -fill '#ffe090' -draw "polygon 230,20 270,20 300,70 200,70" \
       -fill '#1a6030' -draw "ellipse 250,300 220,80 0,360" \
       -fill '#0e3a1c' -draw "ellipse 250,300 200,66 0,360" \
       -fill '#8a1a1a' -draw "circle 150,170 150,240" \
       -fill '#e0c060' -draw "circle 150,170 150,225" \
       -fill '#1a1a1a' -draw "line 150,115 150,225" -draw "line 95,170 205,170" \
                       -draw "line 111,131 189,209" -draw "line 111,209 189,131" \
       -fill '#f4f4f0' -draw "rectangle 300,270 336,306" -draw "rectangle 350,280 386,316" \
       -fill '#101010' -draw "circle 318,288 318,292" -draw "circle 360,290 360,294" -draw "circle 376,306 376,310" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

# parchment: a pale yellowed page with darker edges, to read texts over.
parchment() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 xc:'#e8d8a8' \
       -fill none -stroke '#b89858' -strokewidth 18 -draw "rectangle 9,9 490,390" \
       -stroke '#cdb880' -strokewidth 10 -draw "rectangle 24,24 475,375" \
       -stroke none -fill '#d8c490' -draw "ellipse 120,320 60,20 0,360" -draw "ellipse 400,90 40,14 0,360" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

tavern "$src/Tavern.jpg" 500 400 512 512
tavern "$src/Tavern-low.jpg" 250 200 256 256
casino "$src/Casino.jpg" 500 400 512 512
casino "$src/Casino-low.jpg" 250 200 256 256
parchment "$src/parchment.jpg" 500 400 512 512
parchment "$src/parchment-low.jpg" 250 200 256 256
