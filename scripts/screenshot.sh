#!/usr/bin/env bash
# Takes a screenshot of Pelio under Xvfb in a Wine virtual desktop.
# usage: screenshot.sh OUT.png [FILE] [SECONDS]   (FILE defaults to the test card)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$1 file=${2:-} wait=${3:-4}
# shellcheck source=wine-env.sh
source "$here/scripts/wine-env.sh"
# shellcheck source=xvfb-display.sh
source "$here/scripts/xvfb-display.sh"
"$here/scripts/run-pelio.sh" $file >/dev/null 2>&1 &
run=$!
sleep "$wait"
import -window root "$out"
kill $run 2>/dev/null || true
WINEPREFIX="${WINEPREFIX:-$PELIO_USER_PREFIX}" wineserver -k 2>/dev/null || true
