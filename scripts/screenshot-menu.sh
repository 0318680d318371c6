#!/usr/bin/env bash
# Screenshot of the Viewer with the context menu open (the File submenu unfolded).
# usage: screenshot-menu.sh OUT.png [FILE]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$1 file=${2:-}
# shellcheck source=wine-env.sh
source "$here/scripts/wine-env.sh"
# shellcheck source=xvfb-display.sh
source "$here/scripts/xvfb-display.sh"
"$here/scripts/run-pelio.sh" $file >/dev/null 2>&1 &
sleep 8
xdotool key Return          # closes the mouse-operations dialog when it is up
sleep 1
xdotool mousemove 640 500 click 3
sleep 1
xdotool key Down Right
sleep 1
import -window root "$out"
WINEPREFIX="${WINEPREFIX:-$PELIO_USER_PREFIX}" wineserver -k 2>/dev/null || true
