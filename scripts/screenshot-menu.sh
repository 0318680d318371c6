#!/usr/bin/env bash
# Screenshot of the Viewer with the context menu open (the File submenu unfolded).
# usage: screenshot-menu.sh OUT.png [FILE]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$1 file=${2:-}
n=70
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
export DISPLAY=":$n"
"$here/scripts/run-pelio.sh" $file >/dev/null 2>&1 &
sleep 8
xdotool key Return          # closes the mouse-operations dialog when it is up
sleep 1
xdotool mousemove 640 500 click 3
sleep 1
xdotool key Down Right
sleep 1
import -window root "$out"
WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/pelio/wineprefix}" wineserver -k 2>/dev/null || true
