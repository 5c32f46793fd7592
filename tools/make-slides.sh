#!/usr/bin/env bash
# Makes the slide sequences' pictures in content/slides/ with ImageMagick:
# the introduction's ten text pictures and ten credits pictures (512 x 384),
# its eight illustrations (512 x 384, scenes of the game that
# tools/make-movies.sh picked into content/slides/src/), the title picture
# and the splash picture (1024 x 768). Every picture is a 24-bit JPEG ".dat".
# Run by hand; the results are committed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/content/slides
SERIF=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
SERIF_IT=/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf

jpg() { # output, then convert arguments
  local name=$1; shift
  convert "$@" -strip -type TrueColor -quality 80 "jpg:$out/$name"
}

# card NAME TEXT: light text on a dark, softly lit panel.
card() {
  jpg "$1" -size 512x384 radial-gradient:'#2a2030'-'#08060a' \
    -fill none -stroke '#6a5430' -strokewidth 2 -draw 'roundrectangle 16,16 495,367 12,12' \
    -stroke none -fill '#e8d8b0' -font "$SERIF_IT" -pointsize 24 \
    -size 420x -background none -gravity center caption:"$2" -composite
}

story=(
  "In the years after the Sundering, the town of Renibister stood alone at the edge of the grid."
  "Its walls kept out the wild, but not what slept beneath."
  "Under its streets run the old catacombs, sealed for a hundred years."
  "This spring the seals were found broken."
  "Shadows walk the lower halls, and the bells ring at night."
  "The Hall of Adventurers calls for a party bold enough to go down."
  "Eight may go: fighters, bards, priests and mages of nine peoples."
  "Steel, song and spell will be their only light."
  "What waits below is older than the town itself."
  "Your tale begins at the Hall."
)
credits=(
  "vellrun"
  "Made by the vellrun team"
  "The world: the town of Renibister and its catacombs"
  "Music and sounds made with sox"
  "Pictures made with ImageMagick"
  "Movies drawn by the game's own 3-D view and encoded with ffmpeg"
  "The font rasterised from DejaVu"
  "Tested under Xvfb with Mesa"
  "Thanks to everyone who plays"
  "Farewell, adventurer"
)
for i in "${!story[@]}"; do card "text$((i + 1)).dat" "${story[$i]}"; done
for i in "${!credits[@]}"; do card "credit$((i + 1)).dat" "${credits[$i]}"; done
for i in 1 2 3 4 5 6 7 8; do
  jpg "pic$i.dat" "$out/src/pic$i.jpg" -resize 512x384\! \
    -fill none -stroke '#1a1208' -strokewidth 6 -draw 'rectangle 0,0 511,383'
done
jpg titlescreen.dat "$root/content/pics/src/titlescreen-plain.jpg" -resize 1024x768\!
jpg splash1.dat -size 1024x768 radial-gradient:'#1c1822'-'#000000' \
  -font "$SERIF" -pointsize 40 -fill '#ae9768' -gravity center -annotate +0-20 'The vellrun team' \
  -font "$SERIF_IT" -pointsize 24 -fill '#a09888' -annotate +0+30 'presents'
ls -l "$out"/*.dat | wc -l
