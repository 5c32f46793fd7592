#!/usr/bin/env bash
# Makes the JPEG sources of the sample scene pictures (content/picindex/src/)
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

# Test fixtures: flat colours that survive JPEG coding.
fix=tests/fixtures/piccache
jpg $fix/red512.jpg -size 512x512 xc:'#c81e1e'
jpg $fix/green256.jpg -size 256x256 xc:'#1ec81e'
jpg $fix/blue64.jpg -size 64x64 xc:'#1e1ec8'
jpg $fix/yellow64.jpg -size 64x64 xc:'#c8c81e'
