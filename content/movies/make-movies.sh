#!/usr/bin/env bash
# Makes the movies that map scripts play (content/movies/*.mpg) with ffmpeg
# from Debian; the results are committed, so a build needs no ffmpeg.
#
# The recipe smpeg needs: MPEG-1 video no larger than 512x384, MP2 sound at
# 44.1 kHz and an explicit mux rate (without it smpeg shows no frame).
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf

# "vision": what the warden's old eyes saw in the fountain: swirling colours
# that settle, a caption, and a low chord that fades.
ffmpeg -y -loglevel error \
  -f lavfi -i "mandelbrot=size=512x384:rate=25:start_scale=2:end_scale=0.02:end_pts=120" \
  -f lavfi -i "sine=frequency=220:sample_rate=44100:duration=5" \
  -f lavfi -i "sine=frequency=330:sample_rate=44100:duration=5" \
  -filter_complex "[0:v]hue=h=200:s=0.8,drawtext=fontfile=$FONT:text='The rats are gone.':fontsize=30:fontcolor=0xf0e0b0:borderw=2:bordercolor=0x201810:x=(w-text_w)/2:y=h*0.8:alpha='if(lt(t,2),0,min(1,(t-2)/0.8))',format=yuv420p[v];\
[1:a][2:a]amix=inputs=2,volume=0.6,afade=t=in:d=0.5,afade=t=out:st=3.5:d=1.5[a]" \
  -map "[v]" -map "[a]" -t 5 \
  -c:v mpeg1video -b:v 400k -maxrate 800k -bufsize 320k -c:a mp2 -b:a 64k -ac 2 -ar 44100 -f mpeg -muxrate 2000k "$out/vision.mpg"
ls -l "$out"/*.mpg
