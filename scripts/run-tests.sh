#!/usr/bin/env bash
# Runs every test tree; the output ends with ctest's summary of each tree.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
status=0
trap '"$here/scripts/wine-session.sh" stop >/dev/null 2>&1 || true' EXIT

run_tree() {  # preset, extra ctest args...
  local preset=$1; shift
  echo "== $preset tests"
  ctest --preset "$preset" "$@" || status=1
}

run_tree native -j "$(nproc)"
run_tree asan -j "$(nproc)"
run_tree fuzz -j "$(nproc)"
"$here/scripts/wine-session.sh" ensure
run_tree win32
exit $status
