#!/usr/bin/env bash
# Runs a Windows program of one build in that build's test Wine session (ctest's
# cross-compiling emulator).  usage: wine-run.sh win64|win32 PROGRAM [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export PELIO_ARCH=$1
shift
state=${PELIO_WINE_DIR:-$here/build/$PELIO_ARCH/wine}
"$here/scripts/wine-session.sh" ensure
# shellcheck disable=SC1091
source "$state/env"
exec "$WINELOADER" "$@"
