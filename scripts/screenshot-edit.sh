#!/usr/bin/env bash
# Screenshot of the Edit window with the save panel of one format, after a saved-result
# preview. usage: screenshot-edit.sh OUT.png FORMAT [FILE]   (FORMAT 0 BMP … 5 JPEG/TRANS)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$1 format=$2 file=${3:-}
if [ -z "$file" ]; then
  file="$here/build/testcard.bmp"
  [ -f "$file" ] || "$here/scripts/make-testcard.sh" "$file"
fi
# A portable copy of the program with its own settings beside it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=wine-env.sh
source "$here/scripts/wine-env.sh"
cp "$here/build/$PELIO_ARCH/Pelio.exe" "$work/"
printf '[Awin]\r\nMouseInfo=0\r\n[SImg]\r\nFormat=%s\r\n' "$format" >"$work/Pelio.ini"
# shellcheck source=xvfb-display.sh
source "$here/scripts/xvfb-display.sh"
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
PELIO_EXE="$work/Pelio.exe" "$here/scripts/run-pelio.sh" "$file" >/dev/null 2>&1 &
sleep 6
xdotool key Tab   # the Edit window
sleep 2
xdotool key a     # saved-result preview
sleep 3
import -window root "$out"
WINEPREFIX="${WINEPREFIX:-$PELIO_USER_PREFIX}" wineserver -k 2>/dev/null || true
