#!/usr/bin/env bash
# Screenshot of the help viewer on the start page, opened by Pelio's help command.
# usage: screenshot-help.sh OUT.png
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$1
file="$here/build/testcard.bmp"
[ -f "$file" ] || "$here/scripts/make-testcard.sh" "$file"
# shellcheck source=wine-env.sh
source "$here/scripts/wine-env.sh"
export WINEPREFIX="${WINEPREFIX:-$PELIO_USER_PREFIX}"
work=$(mktemp -d)
cp "$here/build/$PELIO_ARCH/Pelio.exe" "$here/build/$PELIO_ARCH/Pelio.chm" "$work/"
printf '[Awin]\r\nMouseInfo=0\r\n' >"$work/Pelio.ini"
# shellcheck source=xvfb-display.sh
source "$here/scripts/xvfb-display.sh"
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
[ -f "$WINEPREFIX/system.reg" ] || wine_make_prefix /dev/null
"$WINELOADER" "$work/Pelio.exe" "$("$WINELOADER" winepath.exe -w "$file" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1 &
driver() { "$WINELOADER" "$here/build/$PELIO_ARCH/tests/e2e/pelio-e2e.exe" "$@"; }
driver wait Pelio_vwin_class 30000 >/dev/null
sleep 1
driver command Pelio_vwin_class 5510
sleep 4
import -window root "$out"
wineserver -k 2>/dev/null || true
