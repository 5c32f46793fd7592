#!/usr/bin/env bash
# Generates the game's sample pictures and the picture test fixtures with
# ImageMagick. Run by hand; the results are committed, so a build needs no
# ImageMagick.
#
#   tools/make-pictures.sh            everything below
#   tools/make-pictures.sh pics       title, game-select and loading pictures
#   tools/make-pictures.sh title      the launcher's title banner only
#   tools/make-pictures.sh titlescreen  the title screen only
#   tools/make-pictures.sh fixtures   tests/fixtures/images/
#
# JPEG ".dat" pictures are made with "-type TrueColor" so that the game's
# 24-bit reader gets three bytes per pixel. Texture containers
# (pics/other/*.dat) are packed at build time by tools/mkdattex.cpp from the
# JPEG sources written to content/pics/src/ (see content/pics/rules.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."

SERIF=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
SANS=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# jpg_dat OUT ARGS...: convert ARGS into a 24-bit JPEG named OUT.
jpg_dat() {
  local out=$1; shift
  mkdir -p "$(dirname "$out")"
  convert "$@" -strip -type TrueColor -quality 92 "jpg:$out"
}

# jpg_exact OUT ARGS...: as jpg_dat, best quality and no chroma subsampling,
# for fixtures whose colours the tests check.
jpg_exact() {
  local out=$1; shift
  mkdir -p "$(dirname "$out")"
  convert "$@" -strip -type TrueColor -quality 100 -sampling-factor 1x1 "jpg:$out"
}

# backdrop W H TOP BOTTOM: a vertical gradient with a soft vignette.
backdrop() {
  echo "-size $1x$2 gradient:$3-$4 ( -size $1x$2 radial-gradient:none-#0008 ) -compose over -composite"
}

make_pics() {
  local src=content/pics/src
  mkdir -p "$src" content/pics/intro

  make_titlescreen

  # Quest selection: a sheet of parchment with a lighter panel framed in
  # dark brown, room for the quest list. The menu prints black text on it,
  # so it stays light everywhere.
  for size in 1024x768 512x384; do
    local w=${size%x*} h=${size#*x} suffix=""
    [ "$w" = 512 ] && suffix=-low
    # shellcheck disable=SC2046
    jpg_dat "$src/gameselect$suffix.jpg" -size "${w}x${h}" gradient:'#efe3c2'-'#d9c398' \
      \( -size "${w}x${h}" radial-gradient:none-'#5a3a1a30' \) -compose over -composite \
      -fill '#f8f0dcd0' -stroke '#6b4a22' -strokewidth $(( w / 256 )) \
      -draw "roundrectangle $((w/10)),$((h/6)) $((w*9/10)),$((h*9/10)) $((w/64)),$((w/64))" \
      -font "$SERIF" -pointsize $(( 40 * w / 1024 )) -stroke none -fill '#4a3216' \
      -gravity north -annotate +0+$(( h / 20 )) 'Choose your quest'
  done

  make_title

  # Loading picture: a plain 1024 x 768 JPEG ".dat" picture.
  # shellcheck disable=SC2046
  jpg_dat content/pics/intro/loading.dat $(backdrop 1024 768 '#101820' '#000000') \
    -font "$SERIF" -pointsize 48 -fill '#ae9768' -gravity center -annotate +0+0 'Loading...'
}

# Title screen: the game's name over a dusky sky and a line of hills. The
# title card that the menu shows first (pics/other/titlescreen.dat) waits
# for any key, and says so on the hills; the introduction movie and slides
# end on the same picture without that line (titlescreen-plain.jpg), since
# there only ESC or SPACE act.
make_titlescreen() {
  local src=content/pics/src
  mkdir -p "$src"
  for size in 1024x768 512x384; do
    local w=${size%x*} h=${size#*x} s suffix=""
    s=$(( w / 1024 ))
    [ "$w" = 512 ] && suffix=-low
    # shellcheck disable=SC2046
    convert $(backdrop "$w" "$h" '#1b2440' '#5a3a2a') \
      -fill '#16120e' -draw "polygon 0,$((h*3/4)) $((w/5)),$((h*2/3)) $((w*2/5)),$((h*3/4)) $((w*3/5)),$((h*5/8)) $((w*4/5)),$((h*3/4)) $w,$((h*2/3)) $w,$h 0,$h" \
      -font "$SERIF" -pointsize $(( 96 * w / 1024 )) -fill '#ae9768' -stroke '#3a2c18' -strokewidth $(( s > 0 ? 2 : 1 )) \
      -gravity north -annotate +0+$(( h / 8 )) 'VELLRUN' \
      -font "$SANS" -pointsize $(( 24 * w / 1024 )) -stroke none -fill '#d8d0c0' \
      -annotate +0+$(( h / 8 + 110 * w / 1024 )) 'a tale of the grid' \
      "$src/titlescreen-plain$suffix.png"
    [ -z "$suffix" ] && jpg_dat "$src/titlescreen-plain.jpg" "$src/titlescreen-plain$suffix.png"
    jpg_dat "$src/titlescreen$suffix.jpg" "$src/titlescreen-plain$suffix.png" \
      -font "$SANS" -pointsize $(( 26 * w / 1024 )) -fill '#d8d0c0' \
      -gravity south -annotate +0+$(( h / 10 )) 'Press any key'
    rm -f "$src/titlescreen-plain$suffix.png"
  done
}

# The launcher's title banner. The launcher stretches the whole texture over
# a strip 4.8 times as wide as high, so the picture is a power of two on
# both sides (no padding shows) and drawn 1.2 times as wide before it is
# squeezed to 4:1: on screen its letters keep their shape.
make_title() {
  local src=content/pics/src
  mkdir -p "$src"
  for size in 1024x256 512x128; do
    local w=${size%x*} h=${size#*x} suffix="" wide
    [ "$w" = 512 ] && suffix=-low
    wide=$(( w * 6 / 5 ))
    # shellcheck disable=SC2046
    jpg_dat "$src/title$suffix.jpg" $(backdrop "$wide" "$h" '#30203a' '#0a0a12') \
      -fill '#16120e' -draw "polygon 0,$((h*4/5)) $((wide/4)),$((h*3/5)) $((wide/2)),$((h*4/5)) $((wide*3/4)),$((h*13/20)) $wide,$((h*4/5)) $wide,$h 0,$h" \
      -font "$SERIF" -pointsize $(( 150 * h / 256 )) -fill '#ae9768' -stroke '#3a2c18' -strokewidth $(( h / 128 )) \
      -gravity center -annotate +0-$(( h / 16 )) 'VELLRUN' \
      -resize "${w}x${h}!"
  done
}

make_fixtures() {
  local dir=tests/fixtures/images
  mkdir -p "$dir"
  # 16 x 16 in four 8 x 8 blocks (JPEG blocks, so colours stay close):
  # top left red, top right green, bottom left blue, bottom right white.
  quad() {
    echo "( -size 8x8 xc:$1 -size 8x8 xc:$2 +append ) ( -size 8x8 xc:$3 -size 8x8 xc:$4 +append ) -append"
  }
  # shellcheck disable=SC2046
  jpg_exact "$dir/quad.dat" $(quad red lime blue white)
  # Low-resolution companion: 8 x 8 yellow.
  jpg_exact "$dir/quadL.dat" -size 8x8 xc:yellow
  # Alpha companions: top half opaque, bottom half clear; low one mid grey.
  # shellcheck disable=SC2046
  jpg_exact "$dir/quad_A.dat" $(quad white white black black)
  jpg_exact "$dir/quad_AL.dat" -size 8x8 'xc:rgb(128,128,128)'
  # Colour key: top half magenta (transparent), bottom half green.
  # shellcheck disable=SC2046
  jpg_exact "$dir/key.dat" $(quad magenta magenta lime lime)
  # A grayscale JPEG (one channel in the file): top light, bottom dark.
  # shellcheck disable=SC2046
  convert $(quad 'rgb(200,200,200)' 'rgb(200,200,200)' 'rgb(50,50,50)' 'rgb(50,50,50)') \
    -strip -colorspace Gray -type Grayscale -quality 100 "jpg:$dir/gray.dat"
  # An alpha picture of the wrong size (ignored by the loader).
  jpg_exact "$dir/odd.dat" -size 16x16 xc:red
  jpg_exact "$dir/odd_A.dat" -size 8x8 xc:black
  # A picture 300 x 200 (texture 512 x 256) for the texture container tests.
  jpg_exact "$dir/wide.dat" -size 300x200 xc:'rgb(0,0,255)'
  # Not a picture at all.
  printf 'this is no JPEG\n' > "$dir/broken.dat"
}

case "${1:-all}" in
  pics) make_pics ;;
  title) make_title ;;
  titlescreen) make_titlescreen ;;
  fixtures) make_fixtures ;;
  all) make_pics; make_fixtures ;;
  *) echo "usage: $0 [pics|title|titlescreen|fixtures|all]" >&2; exit 2 ;;
esac
