# Sourced by the Wine scripts: the loader and settings for one Windows build.
#   PELIO_ARCH   win64 (default) or win32: the build tree, the Wine loader and the prefix kind
# Debian's `wine` wrapper picks the 32-bit loader whenever wine32 is installed, even where
# 32-bit programs cannot run, so the loader is named explicitly.
PELIO_ARCH=${PELIO_ARCH:-win64}
case "$PELIO_ARCH" in
  win64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 ;;
  win32) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine ;;
  *) echo "PELIO_ARCH must be win64 or win32, not '$PELIO_ARCH'" >&2; exit 2 ;;
esac
export PELIO_ARCH WINEDEBUG=${WINEDEBUG:--all} LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

# A new prefix with no installer dialogs and the Japanese UI fonts mapped to IPA Gothic.
wine_make_prefix() {  # log file
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINELOADER" wineboot.exe -i >"$1" 2>&1
  wineserver -w
  "$WINELOADER" regedit.exe "$root/scripts/wine-fonts.reg" >>"$1" 2>&1
  wineserver -w
}

# The prefix `make run` and the screenshot scripts use, one per architecture.
PELIO_USER_PREFIX="$HOME/.local/share/pelio/wineprefix-$PELIO_ARCH"
