#!/usr/bin/env bash
# Draws the toolbar and window icons (16 x 16, the application icon 32 x 32).
# Needs ImageMagick; the PNG files are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
IM=/usr/bin/convert
icon() { "$IM" -size "${2:-16x16}" xc:none "${@:3}" -define png:exclude-chunks=date,time "$1.png"; }

icon new 16x16 -fill white -stroke '#404040' -draw 'polygon 3,1 10,1 13,4 13,14 3,14' \
  -fill '#d0d0d0' -draw 'polygon 10,1 10,4 13,4'
icon open 16x16 -fill '#e8c050' -stroke '#806020' -draw 'polygon 1,4 6,4 7,5 14,5 14,14 1,14' \
  -fill '#f8e090' -draw 'polygon 3,8 15,8 13,14 1,14'
icon save 16x16 -fill '#3060b0' -stroke '#203060' -draw 'rectangle 1,1 14,14' \
  -fill white -stroke none -draw 'rectangle 4,2 11,6' -fill '#c0c0c0' -draw 'rectangle 4,10 11,14'
icon save_bitmap 16x16 -fill '#3060b0' -stroke '#203060' -draw 'rectangle 1,1 14,14' \
  -fill '#80c0ff' -stroke none -draw 'rectangle 3,3 12,12' \
  -fill '#208020' -draw 'polygon 3,12 7,6 10,10 12,8 12,12'
icon log 16x16 -fill white -stroke '#404040' -draw 'rectangle 1,2 14,13' \
  -stroke '#2050a0' -draw 'line 3,5 12,5' -draw 'line 3,8 10,8' -draw 'line 3,11 11,11'
icon previous 16x16 -fill '#2070d0' -stroke '#104080' -draw 'polygon 2,8 9,2 9,5 14,5 14,11 9,11 9,14'
icon next 16x16 -fill '#2070d0' -stroke '#104080' -draw 'polygon 14,8 7,2 7,5 2,5 2,11 7,11 7,14'
icon build 16x16 -fill '#30b040' -stroke '#186020' -draw 'polygon 4,2 14,8 4,14'
icon stop 16x16 -fill '#d03030' -stroke '#701010' -draw 'rectangle 3,3 12,12'
icon about 16x16 -fill '#2070d0' -stroke '#104080' -draw 'circle 7.5,7.5 7.5,0.5' \
  -fill white -stroke none -draw 'rectangle 7,6 8,12' -draw 'rectangle 7,3 8,4'
icon image 16x16 -fill '#80c0ff' -stroke '#404040' -draw 'rectangle 1,2 14,13' \
  -fill '#208020' -stroke none -draw 'polygon 2,13 6,7 9,11 11,9 14,13'
# The application icon: a Sierpinski triangle of three levels.
tri() {
  local x=$1 y=$2 s=$3 d=$4
  if [ "$d" -eq 0 ]; then
    printf -- "-draw 'polygon %s,%s %s,%s %s,%s' " "$x" "$((y + s))" "$((x + s))" "$((y + s))" \
      "$((x + s / 2))" "$y"
    return
  fi
  local h=$((s / 2))
  tri "$x" "$((y + h))" "$h" $((d - 1))
  tri "$((x + h))" "$((y + h))" "$h" $((d - 1))
  tri "$((x + h / 2))" "$y" "$h" $((d - 1))
}
eval "icon app 32x32 -fill '#e06020' -stroke none $(tri 0 0 32 3)"
