#!/usr/bin/env bash
# Takes a screenshot of Pelio under Xvfb in a Wine virtual desktop.
# usage: screenshot.sh OUT.png [FILE] [SECONDS]   (FILE defaults to the test card)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$1 file=${2:-} wait=${3:-4}
n=70
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
export DISPLAY=":$n"
"$here/scripts/run-pelio.sh" $file >/dev/null 2>&1 &
run=$!
sleep "$wait"
import -window root "$out"
kill $run 2>/dev/null || true
WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/pelio/wineprefix}" wineserver -k 2>/dev/null || true
