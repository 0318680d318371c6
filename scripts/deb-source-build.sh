# Sourced by the scripts that build a library from Debian's source package for every target
# (scripts/build-libjpeg.sh, scripts/build-libwebp.sh). Each build is cached by version outside
# the source tree:
#   $PELIO_DEPS/<name>-<version>/{native,fuzz,win32,win64}/{include,lib,done}
# A script calls deb_source_begin, defines build_one NAME (native, fuzz, win32 or win64) and
# ends with deb_source_build_all, which prints the cache folder on its last line.

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$here/scripts/apt.sh"
deps=${PELIO_DEPS:-$HOME/.cache/pelio-deps}
jobs=${JOBS:-$(nproc)}
mkdir -p "$deps"

# A deb-src entry derived from the machine's own apt sources.
ensure_deb_src() {  # package
  # awk reads to the end: a reader that stops early breaks the pipe, which pipefail reports.
  if apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ {found = 1} END {exit !found}'; then return; fi
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
  apt_update
}

# Sets version, prefix and todo (the targets not yet built); when every target is cached,
# prints the prefix and ends the script. Otherwise unpacks the source (Debian's patches
# applied) into a temporary folder under $deps and sets work and src.
deb_source_begin() {  # source package, cache name
  local package=$1 name=$2
  ensure_deb_src "$package"
  version=$(apt-cache showsrc "$package" | awk '/^Version:/{print $2; exit}')
  prefix="$deps/$name-${version#*:}"
  todo=""
  for t in native fuzz win32 win64; do [ -f "$prefix/$t/done" ] || todo="$todo $t"; done
  if [ -z "$todo" ]; then echo "$prefix"; exit 0; fi

  work=$(mktemp -d "$deps/build.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  fetch_source() { (cd "$work" && { apt-get source -qq --download-only "$1" >/dev/null 2>&1 || apt-get source -qq "$1" >/dev/null; }); }
  apt_retry fetch_source "$package" || exit 1
  cd "$work"
  if [ ! -d "$(ls -d "$package"-*/ 2>/dev/null | head -1)" ]; then
    dpkg-source -x --no-check ./*.dsc >/dev/null
  fi
  src=$(cd "$(ls -d "$package"-*/ | head -1)" && pwd)
}

# Sets the compiler, archiver, flags and extra CMake arguments of one target.
deb_target_setup() {  # native, fuzz, win32 or win64
  triple="" cc=cc ar=ar cflags=-O2
  extra=()
  case "$1" in
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
}

deb_source_build_all() {
  for t in $todo; do build_one "$t"; done
  echo "$prefix"
}
