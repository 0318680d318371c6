#!/usr/bin/env bash
# Screenshot of the Edit window after some commands, each posted as a user's menu choice.
# usage: screenshot-commands.sh OUT.png FILE COMMAND...   (FILE "" for the test card)
# e.g.   screenshot-commands.sh margins.png "" 5122
# A COMMAND press:ID clicks button ID of the dialog in front instead.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$1 file=$2
shift 2
if [ -z "$file" ]; then
  file="$here/build/testcard.bmp"
  [ -f "$file" ] || "$here/scripts/make-testcard.sh" "$file"
fi
# shellcheck source=wine-env.sh
source "$here/scripts/wine-env.sh"
export WINEPREFIX="${WINEPREFIX:-$PELIO_USER_PREFIX}"
# A portable copy of the program with its own settings beside it, starting in the Edit window.
work=$(mktemp -d)
cp "$here/build/$PELIO_ARCH/Pelio.exe" "$work/"
printf '[Awin]\r\nMouseInfo=0\r\nStart=1\r\n' >"$work/Pelio.ini"
# shellcheck source=xvfb-display.sh
source "$here/scripts/xvfb-display.sh"
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
# On the display's own desktop (no virtual desktop, so without window frames), where the
# driver sees Pelio's windows.
[ -f "$WINEPREFIX/system.reg" ] || wine_make_prefix /dev/null
"$WINELOADER" "$work/Pelio.exe" "$("$WINELOADER" winepath.exe -w "$file" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1 &
driver() { "$WINELOADER" "$here/build/$PELIO_ARCH/tests/e2e/pelio-e2e.exe" "$@"; }
driver wait Pelio_swin_class 30000 >/dev/null
sleep 1
for command in "$@"; do
  case $command in
    press:*) driver press "${command#press:}" >/dev/null ;;
    *) driver command Pelio_swin_class "$command" ;;
  esac
  sleep 1.5
done
sleep 1
import -window root "$out"
wineserver -k 2>/dev/null || true
