#!/usr/bin/env bash
# Builds libwebp (static: decoder, encoder with its sharp-YUV code, demux and mux) from Debian's
# source package, for the host, for the host instrumented for the fuzzer (clang, coverage and
# ASan), and for 32- and 64-bit Windows. Each build is cached by version outside the source tree:
#   $PELIO_DEPS/libwebp-<version>/{native,fuzz,win32,win64}/{include,lib,done}
# Prints the cache folder of the built version on its last line.
set -euo pipefail
. "$(dirname "$0")/deb-source-build.sh"

deb_source_begin libwebp libwebp

build_one() {  # name: native, fuzz, win32 or win64
  local name=$1
  local b="$work/build-$name" inst="$prefix/$name"
  deb_target_setup "$name"
  rm -rf "$inst"
  # Libraries only: no tools, no threads (the plug-in decodes on the caller's thread).
  cmake -S "$src" -B "$b" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
    -DWEBP_ENABLE_SIMD=ON -DWEBP_USE_THREAD=OFF -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF \
    -DWEBP_BUILD_DWEBP=OFF -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF \
    -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF \
    -DWEBP_BUILD_LIBWEBPMUX=ON -DWEBP_UNICODE=OFF \
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DCMAKE_INSTALL_PREFIX="$inst" \
    -DCMAKE_INSTALL_LIBDIR="$inst/lib" -DCMAKE_INSTALL_INCLUDEDIR="$inst/include" "${extra[@]}" >/dev/null
  cmake --build "$b" -j"$jobs" >/dev/null
  cmake --install "$b" >/dev/null
  for lib in webp webpdemux webpmux; do
    [ -f "$inst/lib/lib$lib.a" ] || { echo "lib$lib.a was not built" >&2; exit 1; }
  done
  echo "$version" > "$inst/done"
}

deb_source_build_all
