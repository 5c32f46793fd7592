#!/usr/bin/env bash
# Makes the JPEG sources of the party portraits (content/picindex/src/
# portraits/) with ImageMagick: one bust for each race and gender, named as
# the portrait nicknames that characters carry ("Human_Male",
# "HalfElf_Female", ...), and the numbered variants that character creation
# swaps through ("Human_Male02", "Human_Male03": other hair and clothes).
# Run by hand; the results are committed, so a build needs no ImageMagick.
# tools/mkpicindex.cpp packs them into picture files (pictures.txt lists
# them).
#
#   make-portraits.sh            every portrait
#   make-portraits.sh variants   the numbered variants only
set -euo pipefail
cd "$(dirname "$0")/../.."

src=content/picindex/src/portraits
mkdir -p "$src"

jpg() {
  local out=$1; shift
  convert "$@" -strip -type TrueColor -quality 85 -sampling-factor 1x1 "jpg:$out"
}

# bust OUT W H TEXW TEXH RACE SEX [VARIANT]: a head and shoulders over a
# backdrop in the race's colours, drawn in a 500 x 400 frame and scaled to
# W x H; a variant (2, 3) wears other hair and clothes.
bust() {
  local out=$1 w=$2 h=$3 tw=$4 th=$5 race=$6 sex=$7 variant=${8:-1}
  local sky skin hair cloth
  local -a extra=()
  case $race in
    Human)   sky='#5a6f8c-#c9b48a'; skin='#e0b090'; hair='#5a3a20'; cloth='#6a3030' ;;
    Elf)     sky='#3d6b4a-#c8d8a8'; skin='#f0d0b0'; hair='#e8d878'; cloth='#2f5a3a'
             extra=(-fill '#f0d0b0' -draw "polygon 170,175 120,120 190,155" -draw "polygon 330,175 380,120 310,155") ;;
    HalfElf) sky='#4f6a7a-#d0c0a0'; skin='#e8c0a0'; hair='#8a5a2a'; cloth='#3a4a6a'
             extra=(-fill '#e8c0a0' -draw "polygon 172,180 140,140 190,160" -draw "polygon 328,180 360,140 310,160") ;;
    Dwarf)   sky='#4a3a2a-#a08060'; skin='#d8a080'; hair='#8a3a1a'; cloth='#505050'
             extra=(-fill '#8a3a1a' -draw "ellipse 250,270 70,70 0,180") ;;
    Gnome)   sky='#6a4a7a-#d0b0c8'; skin='#e8b898'; hair='#d0d0d0'; cloth='#7a5a2a'
             extra=(-fill '#d08868' -draw "ellipse 250,215 22,26 0,360") ;;
    Beggen)  sky='#5a7a3a-#e0d890'; skin='#e8c8a0'; hair='#6a4a2a'; cloth='#8a6a3a'
             extra=(-fill '#e8c8a0' -draw "ellipse 170,150 22,30 0,360" -draw "ellipse 330,150 22,30 0,360") ;;
    HalfOrc) sky='#3a2a2a-#8a6a4a'; skin='#8aa070'; hair='#202020'; cloth='#4a3020'
             extra=(-fill '#f0f0e0' -draw "polygon 225,262 232,235 239,262" -draw "polygon 261,262 268,235 275,262") ;;
    Saurian) sky='#2a4a3a-#90a870'; skin='#5a8a4a'; hair='#3a5a2a'; cloth='#6a5a3a'
             extra=(-fill '#3a6a2a' -draw "polygon 250,70 230,110 270,110" -draw "polygon 250,100 232,135 268,135") ;;
    Senrat)  sky='#4a4a5a-#b0a8a0'; skin='#a89888'; hair='#6a6058'; cloth='#3a3a4a'
             extra=(-fill '#a89888' -draw "circle 175,110 175,145" -draw "circle 325,110 325,145"
                    -fill '#302828' -draw "ellipse 250,250 14,10 0,360") ;;
  esac
  case $variant in
    2) hair='#c8a040'; cloth='#305a70' ;;
    3) hair='#2a2a2a'; cloth='#70602a' ;;
  esac
  local -a hairs
  if [ "$sex" = Female ]; then
    hairs=(-fill "$hair" -draw "ellipse 250,180 95,110 180,360" -draw "rectangle 158,170 200,330"
           -draw "rectangle 300,170 342,330")
  else
    hairs=(-fill "$hair" -draw "ellipse 250,150 85,55 180,360")
  fi
  jpg "$out" -size "${tw}x${th}" xc:black \
    \( -size 500x400 gradient:"$sky" \
       -fill "$cloth" -draw "ellipse 250,420 190,120 180,360" \
       -fill "$skin" -draw "rectangle 222,250 278,320" \
       "${hairs[@]}" \
       -fill "$skin" -draw "ellipse 250,190 75,92 0,360" \
       -fill '#201810' -draw "circle 222,180 222,188" -draw "circle 278,180 278,188" \
       -fill '#803030' -draw "ellipse 250,240 20,6 0,360" \
       "${extra[@]}" \
       -resize "${w}x${h}!" \) -geometry +0+0 -composite
}

for race in Human Elf HalfElf Dwarf Gnome Beggen HalfOrc Saurian Senrat; do
  for sex in Male Female; do
    if [ "${1:-}" != variants ]; then
      bust "$src/${race}_${sex}.jpg" 500 400 512 512 "$race" "$sex"
      bust "$src/${race}_${sex}-low.jpg" 250 200 256 256 "$race" "$sex"
    fi
    for v in 2 3; do
      bust "$src/${race}_${sex}0$v.jpg" 500 400 512 512 "$race" "$sex" "$v"
      bust "$src/${race}_${sex}0$v-low.jpg" 250 200 256 256 "$race" "$sex" "$v"
    done
  done
done
