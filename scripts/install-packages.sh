#!/usr/bin/env bash
# Installs the Debian packages the build and tests need; quick when all are present.
set -euo pipefail

PKGS="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev nasm cmake googletest
libgtest-dev libbenchmark-dev wine wine64 wine32:i386 xvfb xauth fonts-ipafont-gothic fonts-wine
locales fp-utils imagemagick xdotool zlib1g-dev libpng-dev libgif-dev libtiff-dev clang
libclang-rt-14-dev dpkg-dev make ninja-build ghostscript libchm-bin python3 unzip file"

missing=()
for p in $PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Japanese locale so Wine runs with the ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
