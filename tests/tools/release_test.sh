#!/usr/bin/env bash
# The release packages: made twice with the same bytes, each holding exactly its four files,
# a 64-bit and a large-address-aware 32-bit Pelio.exe, and the help file of its own build.
#   release_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
src=$1 work=$2
rm -rf "$work"
mkdir -p "$work/a" "$work/b"
"$src/scripts/make-release.sh" "$work/a" >/dev/null
"$src/scripts/make-release.sh" "$work/b" >/dev/null
version=$(sed -n 's/^project(Pelio VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
fail=0
check() {  # arch, tree, plug-in, PE kind
  local zip=$work/a/Pelio-$version-$1.zip
  cmp "$zip" "$work/b/Pelio-$version-$1.zip" || { echo "FAIL $1: a second run gave other bytes"; fail=1; }
  local names
  names=$(unzip -Z1 "$zip" | tr '\n' ' ')
  [ "$names" = "Pelio.chm Pelio.exe README-ja.txt $3 " ] || { echo "FAIL $1: holds $names"; fail=1; }
  mkdir -p "$work/$1"
  unzip -q -o "$zip" -d "$work/$1"
  cmake -DFILE="$work/$1/Pelio.exe" -DARCH="$2" -DSUBSYSTEM=gui -P "$src/cmake/pe-kind.cmake" >/dev/null ||
    { echo "FAIL $1: Pelio.exe is no $2 GUI program"; fail=1; }
  [[ $(file -b "$work/$1/Pelio.exe") == "$4"* ]] || { echo "FAIL $1: $(file -b "$work/$1/Pelio.exe")"; fail=1; }
  cmp -s "$work/$1/Pelio.chm" "$src/build/$2/Pelio.chm" || { echo "FAIL $1: not the build's help file"; fail=1; }
  [ "$(unzip -Z -T "$zip" | awk '$7 ~ /^[0-9]+\.[0-9]+$/ {print $7}' | sort -u | wc -l)" = 1 ] ||
    { echo "FAIL $1: entries carry different dates"; fail=1; }
}
check x64 win64 webp.sph "PE32+ executable (GUI) x86-64"
check x86 win32 webp.spi "PE32 executable (GUI) Intel 80386"
# The 32-bit program may use the whole 4 GB on 64-bit Windows.
headers=$(i686-w64-mingw32-objdump -p "$work/x86/Pelio.exe")
grep -q 'large address aware' <<<"$headers" || { echo "FAIL x86: not large-address-aware"; fail=1; }
[ $fail = 0 ] && echo "release packages: 2 zips checked"
exit $fail
