#!/usr/bin/env bash
# Makes the introduction and credits movies and the title music in
# content/intro/. The results are committed, so a build needs neither ffmpeg
# nor sox; run this again only to change them.
#
# smpeg needs MPEG-1 video no larger than 512x384, MP2 sound at 44.1 kHz and
# an explicit mux rate (without it smpeg shows no frame).
set -euo pipefail
cd "$(dirname "$0")/../content/intro"

movie() { # name, video source, seconds, tone
  local name=$1 src=$2 secs=$3 tone=$4
  ffmpeg -y -loglevel error \
    -f lavfi -i "$src" \
    -f lavfi -i "sine=frequency=$tone:sample_rate=44100:duration=$secs" \
    -t "$secs" -c:v mpeg1video -b:v 300k -c:a mp2 -b:a 64k -ac 2 -ar 44100 \
    -f mpeg -muxrate 2000k "$name"
}

movie intro1.mpg "mandelbrot=size=512x384:rate=25:start_scale=3:end_scale=0.05" 4 220
movie credits.mpg "testsrc2=size=512x320:rate=25" 3 330

# The title music: a short loop of a few soft chords.
sox -n -r 22050 -c 2 credits.ogg \
  synth 1.5 sine 220 sine 277 sine 330 fade 0.1 1.5 0.3 : \
  synth 1.5 sine 196 sine 247 sine 294 fade 0.1 1.5 0.3 : \
  synth 1.5 sine 175 sine 220 sine 262 fade 0.1 1.5 0.3 : \
  synth 1.5 sine 196 sine 247 sine 330 fade 0.1 1.5 0.3 \
  vol 0.5
ls -l intro1.mpg credits.mpg credits.ogg
