#!/usr/bin/env bash
# Builds libjpeg-turbo (static, SIMD) and transupp.c from Debian's source package, for the host
# instrumented for the fuzzer (clang, coverage and ASan), and for 32- and 64-bit Windows. Each
# build is cached by version outside the source tree:
#   $PELIO_DEPS/libjpeg-turbo-<version>/{native,fuzz,win32,win64}/{include,lib,done}
# Prints the cache folder of the built version on its last line.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deps=${PELIO_DEPS:-$HOME/.cache/pelio-deps}
mkdir -p "$deps"

# A deb-src entry derived from the machine's own apt sources.
ensure_deb_src() {
  if apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Version:'; then return; fi
  local out=/etc/apt/sources.list.d/pelio-deb-src.sources
  : > "$out.tmp"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$out" ] || continue
    case "$f" in *disabled*) continue ;; esac
    # Copy every stanza that carries Types: deb, as deb-src.
    awk 'BEGIN{RS=""; ORS="\n\n"} /(^|\n)Types:[^\n]*deb([ \n]|$)/ {
           gsub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >> "$out.tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/pelio-deb-src.list || true
  fi
  mv "$out.tmp" "$out"
  apt-get update -qq
}

ensure_deb_src
version=$(apt-cache showsrc libjpeg-turbo | awk '/^Version:/{print $2; exit}')
prefix="$deps/libjpeg-turbo-${version#*:}"
targets="native fuzz win32 win64"
todo=""
for name in $targets; do [ -f "$prefix/$name/done" ] || todo="$todo $name"; done
if [ -z "$todo" ]; then echo "$prefix"; exit 0; fi

work=$(mktemp -d "$deps/build.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq --download-only libjpeg-turbo >/dev/null 2>&1 || apt-get source -qq libjpeg-turbo >/dev/null)
cd "$work"
if [ ! -d "$(ls -d libjpeg-turbo-*/ 2>/dev/null | head -1)" ]; then
  dpkg-source -x --no-check ./*.dsc >/dev/null
fi
src=$(cd "$(ls -d libjpeg-turbo-*/ | head -1)" && pwd)

build_one() {  # name: native, fuzz, win32 or win64
  local name=$1
  local b="$work/build-$name" inst="$prefix/$name" triple="" cc=cc ar=ar cflags=-O2
  local extra=()
  case "$name" in
    win32) triple=i686-w64-mingw32 ;;
    win64) triple=x86_64-w64-mingw32 ;;
    fuzz)
      cc=clang cflags="-O1 -g -fsanitize=fuzzer-no-link,address"
      extra=(-DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS="$cflags") ;;
  esac
  if [ -n "$triple" ]; then
    extra=(-DCMAKE_TOOLCHAIN_FILE="$here/cmake/$triple.cmake")
    cc=$triple-gcc-posix ar=$triple-ar
  fi
  rm -rf "$inst"
  cmake -S "$src" -B "$b" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DWITH_TURBOJPEG=ON -DWITH_JAVA=OFF \
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DCMAKE_INSTALL_PREFIX="$inst" \
    -DCMAKE_INSTALL_LIBDIR="$inst/lib" -DCMAKE_INSTALL_INCLUDEDIR="$inst/include" "${extra[@]}" >/dev/null
  cmake --build "$b" -j"$(nproc)" >/dev/null
  cmake --install "$b" >/dev/null
  # The lossless-transform helpers live beside the library's sources.
  $cc $cflags -fPIC -I"$b" -I"$src" -c "$src/transupp.c" -o "$b/transupp.o"
  $ar rcs "$inst/lib/libtransupp.a" "$b/transupp.o"
  cp "$src/transupp.h" "$inst/include/"
  echo "$version" > "$inst/done"
}

for name in $todo; do build_one "$name"; done
echo "$prefix"
