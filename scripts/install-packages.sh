#!/usr/bin/env bash
# Installs the Debian packages the build and tests need, and any named as arguments (what
# only one target needs); quick when all are present.
set -euo pipefail

. "$(dirname "$0")/apt.sh"

PKGS="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev nasm cmake googletest
libgtest-dev libbenchmark-dev wine wine64 xvfb xauth fonts-ipafont-gothic fonts-wine
locales fp-utils imagemagick xdotool zlib1g-dev libpng-dev libgif-dev libtiff-dev clang
libclang-rt-14-dev dpkg-dev make ninja-build ghostscript libchm-bin python3 unzip file $*"
# Wine's 32-bit loader serves only machines that run 32-bit programs; without it the 32-bit
# Windows suites are skipped, so a failure to install it is not fatal.
OPTIONAL="wine32:i386"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=() optional=()
for p in $PKGS; do installed "$p" || missing+=("$p"); done
for p in $OPTIONAL; do installed "$p" || optional+=("$p"); done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt_update
  apt_install "${missing[@]}" || { echo "could not install: ${missing[*]}" >&2; exit 1; }
  if [ ${#optional[@]} -gt 0 ]; then
    apt_install "${optional[@]}" || echo "not installed: ${optional[*]} (the 32-bit Windows suites will be skipped)" >&2
  fi
fi

# Japanese locale so Wine runs with the ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
