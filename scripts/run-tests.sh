#!/usr/bin/env bash
# Runs every test tree; the output ends with ctest's summary of each tree. The Windows suites
# run on the 64-bit build, and on the 32-bit build too where this machine runs 32-bit programs.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
status=0
trap 'for a in win64 win32; do PELIO_ARCH=$a "$here/scripts/wine-session.sh" stop >/dev/null 2>&1; done' EXIT

run_tree() {  # preset, extra ctest args...
  local preset=$1; shift
  echo "== $preset tests"
  ctest --preset "$preset" "$@" || status=1
}

run_tree native -j "$(nproc)"
run_tree asan -j "$(nproc)"
run_tree fuzz -j "$(nproc)"
PELIO_ARCH=win64 "$here/scripts/wine-session.sh" ensure
run_tree win64
if why=$("$here/scripts/can-run-32bit.sh"); then
  PELIO_ARCH=win32 "$here/scripts/wine-session.sh" ensure
  run_tree win32
else
  # The checks that need no Wine still run on the 32-bit build.
  echo "32-bit Windows suites skipped: $why"
  run_tree win32 -L no-wine
fi
exit $status
