#!/usr/bin/env bash
# Runs a Windows program in the test Wine session (ctest's cross-compiling emulator).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
state=${PELIO_WINE_DIR:-$here/build/win32/wine}
"$here/scripts/wine-session.sh" ensure
# shellcheck disable=SC1091
source "$state/env"
exec wine "$@"
