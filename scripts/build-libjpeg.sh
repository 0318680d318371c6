#!/usr/bin/env bash
# Builds libjpeg-turbo (static, SIMD) and transupp.c from Debian's source package, for the host
# instrumented for the fuzzer (clang, coverage and ASan), and for 32- and 64-bit Windows. Each
# build is cached by version outside the source tree:
#   $PELIO_DEPS/libjpeg-turbo-<version>/{native,fuzz,win32,win64}/{include,lib,done}
# Prints the cache folder of the built version on its last line.
set -euo pipefail
. "$(dirname "$0")/deb-source-build.sh"

deb_source_begin libjpeg-turbo libjpeg-turbo

build_one() {  # name: native, fuzz, win32 or win64
  local name=$1
  local b="$work/build-$name" inst="$prefix/$name"
  deb_target_setup "$name"
  rm -rf "$inst"
  cmake -S "$src" -B "$b" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DWITH_TURBOJPEG=ON -DWITH_JAVA=OFF \
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DCMAKE_INSTALL_PREFIX="$inst" \
    -DCMAKE_INSTALL_LIBDIR="$inst/lib" -DCMAKE_INSTALL_INCLUDEDIR="$inst/include" "${extra[@]}" >/dev/null
  cmake --build "$b" -j"$jobs" >/dev/null
  cmake --install "$b" >/dev/null
  # The lossless-transform helpers live beside the library's sources.
  $cc $cflags -fPIC -I"$b" -I"$src" -c "$src/transupp.c" -o "$b/transupp.o"
  $ar rcs "$inst/lib/libtransupp.a" "$b/transupp.o"
  cp "$src/transupp.h" "$inst/include/"
  echo "$version" > "$inst/done"
}

deb_source_build_all
