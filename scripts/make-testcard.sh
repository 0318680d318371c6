#!/usr/bin/env bash
# Draws Pelio's test card: colour bars, grey ramps, a resolution wedge and a circle.
set -euo pipefail
out=${1:?usage: make-testcard.sh OUT.bmp}
mkdir -p "$(dirname "$out")"
convert -size 640x480 xc:'#202020' \
  \( -size 640x160 xc: -sparse-color barycentric '0,0 #FFFFFF 639,0 #FFFFFF' \
     \( xc:'#C0C0C0' xc:'#C0C000' xc:'#00C0C0' xc:'#00C000' xc:'#C000C0' xc:'#C00000' xc:'#0000C0' \
        -resize 92x160! +append \) -composite \) -geometry +0+0 -composite \
  \( -size 160x640 gradient:white-black -rotate 90 -resize 640x60! \) -geometry +0+170 -composite \
  \( -size 160x640 gradient:red-black -rotate 90 -resize 640x30! \) -geometry +0+240 -composite \
  \( -size 160x640 gradient:lime-black -rotate 90 -resize 640x30! \) -geometry +0+270 -composite \
  \( -size 160x640 gradient:blue-black -rotate 90 -resize 640x30! \) -geometry +0+300 -composite \
  -fill none -stroke white -strokewidth 2 -draw 'circle 320,400 320,340' \
  -stroke '#FFD000' -draw 'line 0,479 639,340' \
  -type TrueColor "BMP3:$out"
