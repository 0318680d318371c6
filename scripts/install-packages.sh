#!/usr/bin/env bash
# Installs the Debian packages the build and tests need, and any named as arguments (what
# only one target needs); quick when all are present.
set -euo pipefail

. "$(dirname "$0")/apt.sh"

PKGS="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev nasm cmake googletest
libgtest-dev libbenchmark-dev wine wine64 xvfb xauth fonts-ipafont-gothic fonts-wine
locales fp-utils imagemagick xdotool zlib1g-dev libpng-dev libgif-dev libtiff-dev clang
libclang-rt-14-dev dpkg-dev make ninja-build ghostscript libchm-bin python3 unzip file $*"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in $PKGS; do installed "$p" || missing+=("$p"); done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  apt_update
  apt_install "${missing[@]}" || { echo "could not install: ${missing[*]}" >&2; exit 1; }
fi

# Wine's 32-bit loader, only where this machine runs 32-bit programs: elsewhere the i386
# architecture would only add package lists to fetch. Not fatal: without it the 32-bit
# Windows suites are skipped.
if ! installed wine32:i386 && [ "$(id -u)" = 0 ] && "$(dirname "$0")/can-run-32bit.sh" --without-wine >/dev/null; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt_update
  fi
  apt_install wine32:i386 || echo "wine32:i386 not installed: the 32-bit Windows suites will be skipped" >&2
fi

# Japanese locale so Wine runs with the ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
