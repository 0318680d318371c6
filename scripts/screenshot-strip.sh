#!/usr/bin/env bash
# Screenshots of the Viewer's pointer features on a large test card:
#   OUT-strip.png  the toolbar strip dropped in at the top edge, with a button's tool tip
#   OUT-pan.png    a right-button drag at 100 % with the navigation window
# usage: screenshot-strip.sh OUT   (writes OUT-strip.png and OUT-pan.png)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$1
card="$here/build/testcard.bmp"
[ -f "$card" ] || "$here/scripts/make-testcard.sh" "$card"
large="$here/build/testcard-large.bmp"
[ -f "$large" ] || convert "$card" -resize 3000x2250! -type TrueColor "BMP3:$large"
# shellcheck source=wine-env.sh
source "$here/scripts/wine-env.sh"
# shellcheck source=xvfb-display.sh
source "$here/scripts/xvfb-display.sh"
"$here/scripts/run-pelio.sh" "$large" >/dev/null 2>&1 &
sleep 10
xdotool key Return          # closes the mouse-operations dialog when it is up
sleep 1
# The window fills the work area; its client area starts below the title bar.
xdotool mousemove 640 400
sleep 0.5
xdotool mousemove 640 26
sleep 1
xdotool mousemove 70 32
sleep 0.3
xdotool mousemove 71 33
sleep 2
import -window root "$out-strip.png"
xdotool mousemove 640 500
sleep 0.5
xdotool key space           # 100 %: larger than the window
sleep 3
xdotool mousemove 640 500 mousedown 3
for i in $(seq 1 20); do
  xdotool mousemove $((640 - i * 12)) $((500 - i * 8))
  sleep 0.05
done
sleep 1.5
import -window root "$out-pan.png"
xdotool mouseup 3
sleep 0.5
WINEPREFIX="${WINEPREFIX:-$PELIO_USER_PREFIX}" wineserver -k 2>/dev/null || true
