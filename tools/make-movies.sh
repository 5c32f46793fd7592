#!/usr/bin/env bash
# Makes the introduction and credits movies in content/intro/ from the game
# itself: tools/mkflythrough renders the game's own 3-D view along the paths
# in content/intro/paths/, and ffmpeg turns the frames into MPEG-1 with the
# game's music. The results are committed, so a build needs neither ffmpeg
# nor a display; run this again (after a build, with an X display such as
# Xvfb) only to change them. Also picks the introduction slides' pictures of
# the town from the same frames (content/slides/pic*.jpg, see
# tools/make-slides.sh).
#
# smpeg needs MPEG-1 video no larger than 512x384, MP2 sound at 44.1 kHz and
# an explicit mux rate (without it smpeg shows no frame). The credits movie
# is drawn 64 rows lower, so it is 512x320.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
game=${GAME_DIR:-$root/build/game}
tool=${FLYTHROUGH:-$root/build/tools/mkflythrough}
out=$root/content/intro
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LIBGL_ALWAYS_SOFTWARE=1 SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf

for p in intro credits; do
  mkdir -p "$work/$p"
  "$tool" "$game" "$work/$p" "$out/paths/$p.path"
done

mpeg() { # output, then ffmpeg arguments
  local name=$1; shift
  ffmpeg -y -loglevel error "$@" -c:v mpeg1video -b:v 450k -c:a mp2 -b:a 64k -ac 2 -ar 44100 \
    -f mpeg -muxrate 2000k "$out/$name"
}

# The introduction: "The vellrun team presents" (the splash picture of the
# slides) fades in from black, then the flight, then the title picture
# fades in and stays (without the title card's "Press any key": only ESC
# and SPACE stop a movie). The music plays from the first frame to the
# last, so the introduction is never silent.
frames=$(ls "$work/intro" | wc -l)
fly=$(echo "scale=2; $frames / 25" | bc)
card=4
total=$(echo "scale=2; $card - 1 + $fly + 3" | bc)
convert "jpg:$root/content/slides/splash1.dat" -resize 512x384\! "$work/presents.png"
mpeg intro1.mpg -loop 1 -framerate 25 -t "$card" -i "$work/presents.png" \
  -framerate 25 -i "$work/intro/f%05d.ppm" \
  -loop 1 -framerate 25 -t 4.5 -i "$root/content/pics/src/titlescreen-plain.jpg" \
  -stream_loop -1 -i "$out/credits.ogg" \
  -filter_complex "[0:v]scale=512:384,setsar=1,fps=25,format=yuv420p,fade=t=in:st=0:d=1[p];\
[1:v]scale=512:384,setsar=1,fps=25,format=yuv420p[a];\
[2:v]scale=512:384,setsar=1,fps=25,format=yuv420p[b];\
[p][a]xfade=transition=fade:duration=1:offset=$(echo "$card - 1" | bc)[pa];\
[pa][b]xfade=transition=fade:duration=1.5:offset=$(echo "$card - 1 + $fly - 1.5" | bc)[v];\
[3:a]afade=t=out:st=$(echo "$total - 1.5" | bc):d=1.5[m]" \
  -map "[v]" -map "[m]" -t "$total"

# The credits over the town and the catacombs: one caption at a time, each
# in the largest size up to its own (56 for the name, 24 for the rest) that
# leaves a margin of 24 pixels at either side of the 512-pixel frame.
captions=("vellrun" "a tale of the grid" "Made by the vellrun team"
          "Renibister and its catacombs" "drawn by the 3-D view of the game itself"
          "Music and sounds by sox" "Pictures by ImageMagick"
          "Thank you for playing")
fitting() { # text, largest size: the size whose text is at most 464 pixels wide
  local size=$2
  while [ "$(convert -font "$FONT" -pointsize "$size" label:"$1" -format %w info:)" -gt 464 ]; do
    size=$((size - 1))
  done
  echo "$size"
}
frames=$(ls "$work/credits" | wc -l)
secs=$(echo "scale=2; $frames / 25" | bc)
each=$(echo "scale=2; $secs / ${#captions[@]}" | bc)
filter="[0:v]crop=500:312,scale=512:320,setsar=1,fps=25"
for i in "${!captions[@]}"; do
  from=$(echo "$i * $each + 0.3" | bc)
  to=$(echo "($i + 1) * $each - 0.3" | bc)
  text=${captions[$i]}
  size=$(fitting "$text" "$([ "$i" = 0 ] && echo 56 || echo 24)")
  filter+=",drawtext=fontfile=$FONT:text='$text':fontsize=$size:fontcolor=0xf0e0b0:borderw=2:bordercolor=0x201810"
  filter+=":x=(w-text_w)/2:y=h*0.72:alpha='if(lt(t,$from),0,if(lt(t,$from+0.5),(t-$from)/0.5,if(lt(t,$to-0.5),1,if(lt(t,$to),($to-t)/0.5,0))))'"
done
filter+=",format=yuv420p[v];[1:a]afade=t=out:st=$(echo "$secs - 1.5" | bc):d=1.5[m]"
mpeg credits.mpg -framerate 25 -i "$work/credits/f%05d.ppm" -stream_loop -1 -i "$root/content/slides/credits.mp3" \
  -filter_complex "$filter" -map "[v]" -map "[m]" -t "$secs"

# Illustrations for the introduction slides: eight moments of both paths.
mkdir -p "$root/content/slides/src"
i=1
for f in intro/f00040 intro/f00120 intro/f00250 intro/f00400 credits/f00080 credits/f00240 credits/f00330 credits/f00480; do
  [ -e "$work/$f.ppm" ] || f=intro/f00000
  convert "$work/$f.ppm" -resize 512x384\! -strip -type TrueColor -quality 80 "$root/content/slides/src/pic$i.jpg"
  i=$((i + 1))
done
ls -l "$out"/*.mpg
