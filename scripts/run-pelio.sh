#!/usr/bin/env bash
# Opens the built Pelio.exe under Wine in a virtual desktop, on FILE or on the generated test card.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
exe="${PELIO_EXE:-$here/build/win32/Pelio.exe}"  # another copy, e.g. one with its own INI
file=${1:-}
if [ -z "$file" ]; then
  file="$here/build/testcard.bmp"
  [ -f "$file" ] || "$here/scripts/make-testcard.sh" "$file"
fi
export WINEARCH=win32 WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/pelio/wineprefix}" LANG=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
if [ ! -d "$WINEPREFIX" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  wine regedit "$here/scripts/wine-fonts.reg" >/dev/null 2>&1
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: run 'Xvfb :5 -screen 0 1280x1024x24 &' and 'export DISPLAY=:5' first." >&2
  exit 1
fi
exec wine explorer /desktop=pelio,1280x900 "$exe" "$(winepath -w "$file" 2>/dev/null || echo "$file")"
