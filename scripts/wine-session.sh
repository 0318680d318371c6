#!/usr/bin/env bash
# The Wine session the Windows tests of one build run in: a prefix of the build's kind in its
# build tree, Japanese locale, font replacements, an Xvfb display and a persistent wineserver.
#   wine-session.sh ensure   set up whatever is missing (safe to call from parallel tests)
#   wine-session.sh stop     end the wineserver and the display
# PELIO_ARCH (win64 or win32, see wine-env.sh) picks the build. The state lives in
# $PELIO_WINE_DIR (default build/$PELIO_ARCH/wine); "env" there is sourced by wine-run.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=wine-env.sh
source "$here/scripts/wine-env.sh"
state=${PELIO_WINE_DIR:-$here/build/$PELIO_ARCH/wine}
mkdir -p "$state"
export WINEPREFIX="$state/prefix"

display_alive() {
  [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start_display() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 9>&- &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  echo ":$n" >"$state/display"
}

ensure() {
  exec 9>"$state/lock"
  flock 9
  if ! display_alive; then start_display; fi
  export DISPLAY
  DISPLAY=$(cat "$state/display")
  if [ ! -f "$state/prefix.done" ]; then
    wine_make_prefix "$state/wineboot.log" 9>&-
    touch "$state/prefix.done"
  fi
  # A persistent server (when one runs already this returns at once), and Wine's own
  # services started here with no terminal: a test runner waits for every process that holds
  # its output pipe.
  if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    "$WINELOADER" cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
  cat >"$state/env" <<ENV
export PELIO_ARCH=$PELIO_ARCH WINEARCH=$WINEARCH WINELOADER=$WINELOADER WINEPREFIX="$WINEPREFIX"
export WINEDEBUG=$WINEDEBUG LANG=$LANG LC_ALL=$LC_ALL DISPLAY=$DISPLAY
ENV
}

stop() {
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  if display_alive; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
  rm -f "$state/xvfb.pid"
}

case "${1:-ensure}" in
  ensure) ensure ;;
  stop) stop ;;
  *) echo "usage: $0 ensure|stop" >&2; exit 2 ;;
esac
