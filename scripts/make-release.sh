#!/usr/bin/env bash
# Packs the built programs into dist/Pelio-<version>-x64.zip and -x86.zip: Pelio.exe, Pelio.chm,
# the WebP plug-in and README-ja.txt. The same build gives the same bytes: entries in a fixed
# order, every date the last commit's (or SOURCE_DATE_EPOCH), no extra fields.
#   make-release.sh [OUT_DIR]    (default dist)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/dist}
version=$(sed -n 's/^project(Pelio VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 1767225600)}
mkdir -p "$out"
pack() {  # tree, zip suffix, plug-in file
  local tree=$here/build/$1
  for f in Pelio.exe Pelio.chm "$3"; do
    [ -f "$tree/$f" ] || { echo "$tree/$f is missing: build first (make build)" >&2; exit 1; }
  done
  python3 - "$out/Pelio-$version-$2.zip" "$epoch" "$tree/Pelio.exe" "$tree/Pelio.chm" "$tree/$3" \
    "$here/help/README-ja.txt" <<'PY'
import sys, time, zipfile, os
target, epoch, files = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
stamp = time.gmtime(max(epoch, 315532800))[:6]  # zip dates start in 1980
tmp = target + '.tmp'
with zipfile.ZipFile(tmp, 'w') as z:
    for path in sorted(files, key=os.path.basename):
        info = zipfile.ZipInfo(os.path.basename(path), stamp)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0
        info.external_attr = 0x20  # archive bit
        with open(path, 'rb') as f:
            data = f.read()
        if path.endswith('.txt'):  # Windows line ends, with a mark for old editors
            data = b'\xef\xbb\xbf' + data.replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')
        z.writestr(info, data, compresslevel=9)
os.replace(tmp, target)
print(target)
PY
}
pack win64 x64 webp.sph
pack win32 x86 webp.spi
