#!/usr/bin/env bash
# Opens the built Pelio.exe under Wine in a virtual desktop, on FILE or on the generated test
# card. PELIO_ARCH=win32 runs the 32-bit build (where this machine runs 32-bit programs).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=wine-env.sh
source "$here/scripts/wine-env.sh"
exe="${PELIO_EXE:-$here/build/$PELIO_ARCH/Pelio.exe}"  # another copy, e.g. one with its own INI
file=${1:-}
if [ -z "$file" ]; then
  file="$here/build/testcard.bmp"
  [ -f "$file" ] || "$here/scripts/make-testcard.sh" "$file"
fi
export WINEPREFIX="${WINEPREFIX:-$PELIO_USER_PREFIX}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine_make_prefix /dev/null
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: run 'Xvfb :5 -screen 0 1280x1024x24 &' and 'export DISPLAY=:5' first." >&2
  exit 1
fi
winfile=$("$WINELOADER" winepath.exe -w "$file" 2>/dev/null | tr -d '\r') || winfile=$file
exec "$WINELOADER" explorer.exe /desktop=pelio,1280x900 "$exe" "${winfile:-$file}"
