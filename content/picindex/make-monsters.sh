#!/usr/bin/env bash
# Makes the JPEG sources of the monster pictures (content/picindex/src/
# monsters/) with ImageMagick: one picture for every monster type of the
# bestiary, named as the picture nickname its "picture" line gives, and the
# scenes "Treasure" (a chest, after a fight and at every chest) and
# "AllDead" (the party's graves). All in one style: a backdrop of the
# creature's haunt, a shadow on the ground, the creature in flat shapes with
# glowing eyes. Run by hand; the results are committed. pictures.txt lists
# them for tools/mkpicindex.
set -euo pipefail
cd "$(dirname "$0")/../.."

src=content/picindex/src/monsters
mkdir -p "$src"

jpg() {
  local out=$1; shift
  convert "$@" -strip -type TrueColor -quality 85 -sampling-factor 1x1 "jpg:$out"
}

# Backdrops by haunt.
sky() {
  case $1 in
    crypt)  echo '#1a1a26-#4a4440' ;;
    cave)   echo '#201812-#5a4a38' ;;
    forest) echo '#16301c-#6a7a48' ;;
    fire)   echo '#3a0a04-#c05818' ;;
    air)    echo '#4a6a9a-#d0e0f0' ;;
    water)  echo '#0a2040-#4a8ab0' ;;
    marsh)  echo '#1e2a1a-#6a6a3a' ;;
    earth)  echo '#2a2018-#8a7050' ;;
    hell)   echo '#1a0608-#6a1a20' ;;
    road)   echo '#3a4a6a-#b0a070' ;;
  esac
}

# Eyes: two glowing dots at x1,y and x2,y of radius r.
eyes() {
  local x1=$1 x2=$2 y=$3 r=$4 c=${5:-#ffe040}
  echo "-fill '$c' -draw \"circle $x1,$y $((x1 + r)),$y\" -draw \"circle $x2,$y $((x2 + r)),$y\""
}

# The creature shapes, drawn in a 500 x 400 frame. Each prints its draw
# arguments for convert; colours: body, detail.
humanoid() {   # body detail scale weapon
  local b=$1 d=$2 s=$3 wpn=$4
  local top=$((330 - 250 * s / 10)) hw=$((45 * s / 10)) cx=250
  local head=$((top + 30 * s / 10)) hr=$((28 * s / 10))
  echo "-fill '$d' -draw \"polygon $((cx - hw)),$((top + 60 * s / 10)) $((cx + hw)),$((top + 60 * s / 10)) $((cx + hw + 15)),330 $((cx - hw - 15)),330\""
  echo "-fill '$b' -draw \"rectangle $((cx - hw - 22)),$((top + 65 * s / 10)) $((cx - hw - 4)),$((top + 170 * s / 10))\""
  echo "-fill '$b' -draw \"rectangle $((cx + hw + 4)),$((top + 65 * s / 10)) $((cx + hw + 22)),$((top + 170 * s / 10))\""
  echo "-fill '$b' -draw \"circle $cx,$head $((cx + hr)),$head\""
  eyes $((cx - hr / 2)) $((cx + hr / 2)) $head $((hr / 6 + 2))
  case $wpn in
    sword) echo "-fill '#c8c8d0' -draw \"polygon $((cx + hw + 14)),$((top + 160 * s / 10)) $((cx + hw + 22)),$((top + 20)) $((cx + hw + 30)),$((top + 160 * s / 10))\"" ;;
    staff) echo "-fill '#6a4a2a' -draw \"rectangle $((cx - hw - 30)),$((top - 10)) $((cx - hw - 22)),330\" -fill '#80f0ff' -draw \"circle $((cx - hw - 26)),$((top - 14)) $((cx - hw - 14)),$((top - 14))\"" ;;
    axe)   echo "-fill '#6a4a2a' -draw \"rectangle $((cx + hw + 16)),$((top + 10)) $((cx + hw + 24)),$((top + 170 * s / 10))\" -fill '#b0b0b8' -draw \"ellipse $((cx + hw + 34)),$((top + 24)) 18,26 0,360\"" ;;
    *) ;;
  esac
}
beast() {      # body detail length height
  local b=$1 d=$2 l=$3 h=$4
  local cx=240 cy=$((320 - h))
  echo "-fill '$b' -draw \"ellipse $cx,$cy $l,$h 0,360\""
  for x in $((cx - l * 7 / 10)) $((cx - l * 4 / 10)) $((cx + l * 4 / 10)) $((cx + l * 7 / 10)); do
    echo "-fill '$d' -draw \"rectangle $((x - 8)),$cy $((x + 8)),330\""
  done
  local hx=$((cx + l + h / 3)) hy=$((cy - h * 6 / 10)) hr=$((h * 6 / 10))
  echo "-fill '$b' -draw \"circle $hx,$hy $((hx + hr)),$hy\""
  echo "-fill '$d' -draw \"polygon $((hx - hr / 2)),$((hy - hr + 4)) $((hx - hr / 4)),$((hy - hr - 22)) $((hx)),$((hy - hr + 2))\""
  echo "-fill '$d' -draw \"polygon $((hx + hr / 4)),$((hy - hr + 2)) $((hx + hr / 2)),$((hy - hr - 22)) $((hx + hr * 3 / 4)),$((hy - hr + 6))\""
  eyes $((hx - hr / 3)) $((hx + hr / 3)) $((hy - 4)) $((hr / 6 + 2))
}
spider() {     # body detail
  local b=$1 d=$2
  for i in 0 1 2 3; do
    local y=$((230 + i * 22))
    echo "-stroke '$d' -strokewidth 9 -draw \"polyline 250,$y $((150 - i * 20)),$((y - 60 + i * 10)) $((110 - i * 25)),330\""
    echo "-draw \"polyline 250,$y $((350 + i * 20)),$((y - 60 + i * 10)) $((390 + i * 25)),330\" -stroke none"
  done
  echo "-fill '$b' -draw \"ellipse 250,250 70,55 0,360\" -draw \"circle 250,195 285,195\""
  echo "-fill '#ff3020' -draw \"circle 236,190 243,190\" -draw \"circle 264,190 271,190\" -draw \"circle 226,205 231,205\" -draw \"circle 274,205 279,205\""
}
flyer() {      # body detail
  local b=$1 d=$2
  echo "-fill '$d' -draw \"polygon 250,190 60,110 110,200 40,230 230,240\" -draw \"polygon 250,190 440,110 390,200 460,230 270,240\""
  echo "-fill '$b' -draw \"ellipse 250,240 40,70 0,360\" -draw \"circle 250,160 276,160\""
  echo "-fill '$d' -draw \"polygon 235,300 220,335 245,310\" -draw \"polygon 265,300 280,335 255,310\""
  eyes 240 260 158 5
}
dragon() {     # body detail
  local b=$1 d=$2
  echo "-fill '$d' -draw \"polygon 230,200 80,70 140,190 60,210 200,250\" -draw \"polygon 270,200 420,70 360,190 440,210 300,250\""
  echo "-fill '$b' -draw \"ellipse 250,270 110,60 0,360\""
  echo "-fill '$b' -draw \"polygon 330,250 380,150 400,160 360,270\" -draw \"ellipse 400,140 40,24 0,360\""
  echo "-fill '$b' -draw \"polygon 150,280 60,330 40,320 140,260\""
  echo "-fill '$d' -draw \"rectangle 185,300 210,335\" -draw \"rectangle 290,300 315,335\""
  echo "-fill '#ffd020' -draw \"circle 410,134 416,134\""
  echo "-fill '#ff8020' -draw \"polygon 438,146 490,130 486,160\""
}
elemental() {  # body detail
  local b=$1 d=$2
  for i in 0 1 2 3 4; do
    local r=$((110 - i * 18)) y=$((300 - i * 40))
    echo "-fill '$([ $((i % 2)) = 0 ] && echo "$b" || echo "$d")' -draw \"ellipse $((250 + (i % 2) * 14 - 7)),$y $r,$((r / 2 + 10)) 0,360\""
  done
  eyes 232 268 140 7 '#ffffff'
}
golem() {      # body detail
  local b=$1 d=$2
  echo "-fill '$b' -draw \"rectangle 180,150 320,290\" -draw \"rectangle 205,90 295,150\""
  echo "-fill '$d' -draw \"rectangle 130,160 178,270\" -draw \"rectangle 322,160 370,270\""
  echo "-fill '$d' -draw \"rectangle 190,292 240,335\" -draw \"rectangle 260,292 310,335\""
  echo "-stroke '$d' -strokewidth 3 -draw \"line 200,200 300,220\" -draw \"line 220,250 290,240\" -stroke none"
  eyes 232 268 118 7 '#60e0ff'
}
tree() {       # body detail
  local b=$1 d=$2
  echo "-fill '$d' -draw \"polygon 215,335 230,170 270,170 285,335\""
  echo "-fill '$b' -draw \"circle 250,130 340,130\" -draw \"circle 175,170 235,170\" -draw \"circle 325,170 385,170\""
  echo "-fill '#201008' -draw \"ellipse 250,260 18,10 0,360\""
  eyes 236 264 225 6 '#f0c020'
}

# picture NICK HAUNT SHAPE ARGS...: the high and low pictures of a monster.
picture() {
  local nick=$1 haunt=$2 shape=$3; shift 3
  local draw
  draw=$($shape "$@" | tr '\n' ' ')
  for size in "500 400 512 512 $nick" "250 200 256 256 $nick-low"; do
    set -- $size
    eval "jpg '$src/$5.jpg' -size '${3}x${4}' xc:black \\( -size 500x400 gradient:'$(sky "$haunt")' \
      -fill '#00000060' -draw 'ellipse 250,338 170,22 0,360' $draw -resize '${1}x${2}!' \\) -geometry +0+0 -composite"
  done
}

# The bestiary, type by type (content/monsters/monsters.txt).
picture goblin         cave   humanoid '#6a8a3a' '#5a4028' 7 sword
picture orc            cave   humanoid '#5a7a4a' '#4a3a2a' 9 axe
picture orc_chieftain  cave   humanoid '#4a6a3a' '#8a2a20' 11 axe
picture skeleton       crypt  humanoid '#e0dcc8' '#3a3630' 9 sword
picture dark_rogue     road   humanoid '#c09878' '#20202a' 9 sword
picture ogre           cave   humanoid '#8a7a50' '#5a3a20' 12 axe
picture giant_spider   cave   spider   '#2a2020' '#3a2a28'
picture harpy          air    flyer    '#c0a080' '#6a4a30'
picture wight          crypt  humanoid '#a0b0b8' '#202830' 10 sword
picture lich           crypt  humanoid '#d8d0b0' '#3a1a4a' 10 staff
picture red_dragon     fire   dragon   '#a02018' '#601010'
picture fire_elemental fire   elemental '#f08020' '#ffd040'
picture wolf           forest beast    '#6a6a70' '#3a3a40' 90 45
picture bear           forest beast    '#5a3a20' '#3a2410' 110 65
picture bandit         road   humanoid '#d0a080' '#5a4a3a' 9 sword
picture marsh_witch    marsh  humanoid '#9ab080' '#2a3a20' 9 staff
picture darcwood_tree  forest tree     '#2a5a28' '#4a3018'
picture warrior_wolf   forest beast    '#4a4a58' '#20202a' 110 55
picture clay_golem     earth  golem    '#a06848' '#6a4028'
picture iron_golem     cave   golem    '#70747c' '#3a3c44'
picture green_dragon   marsh  dragon   '#2a7a30' '#184a1c'
picture dactyl         air    flyer    '#7a6a50' '#3a3020'
picture yevil          hell   humanoid '#a03030' '#2a0a0a' 9 staff
picture stalker        crypt  humanoid '#505058' '#101014' 10 sword
picture demon_lord     hell   humanoid '#7a1010' '#200404' 12 axe
picture cuchulaiin     road   humanoid '#d8b090' '#2a4a8a' 11 sword
picture earth_elemental earth elemental '#7a5a38' '#a08058'
picture stone_golem    earth  golem    '#8a8880' '#5a5850'
picture air_elemental  air    elemental '#e0f0ff' '#a0c0e0'
picture air_golem      air    golem    '#c0d8f0' '#8aa8c8'
picture air_giant      air    humanoid '#c8d8e8' '#6a88a8' 12 axe
picture water_elemental water elemental '#3080c0' '#80c0f0'
picture salamander     fire   beast    '#c04818' '#f0a020' 100 35
picture super_golem    hell   golem    '#8a3a8a' '#4a1a4a'
picture ice_golem      water  golem    '#c8e8f8' '#7ab0d0'

# Treasure: a chest heaped with gold in a vault.
treasure() {
  echo "-fill '#5a3a1a' -draw \"rectangle 150,220 350,330\" -fill '#7a5028' -draw \"ellipse 250,220 100,50 180,360\""
  echo "-fill '#c8a030' -draw \"rectangle 150,260 350,272\" -draw \"rectangle 240,240 260,290\""
  echo "-fill '#f0c830' -draw \"ellipse 250,215 85,22 0,360\" -draw \"circle 200,300 214,300\" -draw \"circle 320,310 333,310\""
  echo "-fill '#fff0a0' -draw \"circle 230,208 236,208\" -draw \"circle 275,212 281,212\""
}
# AllDead: the party's graves under a night sky.
graves() {
  for x in 110 200 290 380; do
    echo "-fill '#6a6a70' -draw \"rectangle $((x - 30)),230 $((x + 30)),330\" -draw \"ellipse $x,230 30,30 180,360\""
    echo "-fill '#3a3a40' -draw \"rectangle $((x - 3)),240 $((x + 3)),290\" -draw \"rectangle $((x - 15)),255 $((x + 15)),261\""
  done
  echo "-fill '#f0f0d8' -draw \"circle 420,70 445,70\""
}
picture Treasure crypt treasure
picture AllDead  crypt graves
