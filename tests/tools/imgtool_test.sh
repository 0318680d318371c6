#!/usr/bin/env bash
# imgtool from the outside: info, decode, count, convert, and BMP round trips at every depth,
# with ImageMagick as an independent writer of the input and reader of the output.
# usage: imgtool_test.sh IMGTOOL
set -euo pipefail
imgtool=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
expect() {  # expected actual what
  [ "$1" = "$2" ] || fail "$3: expected '$1', got '$2'"
}

"$here/scripts/make-testcard.sh" "$work/card.bmp"
expect "format=1 width=640 height=480 bits=24 sourceBits=24 interlaced=0 transparency=0 text=0 comment=0" \
  "$("$imgtool" info "$work/card.bmp")" "info of the test card"

for depth in 1 4 8 24; do
  out="$work/card$depth.bmp"
  "$imgtool" convert "$work/card.bmp" "$out" --depth "$depth" --dither 0
  bits=$([ "$depth" = 24 ] && echo 24 || echo 8)
  info=$("$imgtool" info "$out")
  case "$info" in *"bits=$bits sourceBits=$depth "*) ;; *) fail "depth $depth: $info" ;; esac
  # Decoding and writing again at the decoded depth reproduces the pixels; another reader sees
  # the same picture in our file as in our decoded copy.
  "$imgtool" decode "$out" "$work/back$depth.bmp"
  diff=$(compare -metric AE "$out" "$work/back$depth.bmp" null: 2>&1) || true
  [ "$diff" = 0 ] || fail "depth $depth: readers disagree in $diff pixels"
  colours=$("$imgtool" count "$out")
  max=$(( depth == 24 ? 16777216 : 1 << depth ))
  n=${colours#colours=}
  [ "$n" -ge 1 ] && [ "$n" -le "$max" ] || fail "depth $depth: $colours"
done
cmp -s <(tail -c +55 "$work/card.bmp") <(tail -c +55 "$work/back24.bmp") || fail "24-bit pixels changed"

# PNG both ways, chosen by the extension: lossless, and read the same by another reader.
for depth in 8 24; do
  "$imgtool" convert "$work/card.bmp" "$work/card$depth.png" --depth "$depth" --dither 3
  case "$("$imgtool" info "$work/card$depth.png")" in "format=2 width=640 height=480 "*) ;; *) fail "png info";; esac
  "$imgtool" decode "$work/card$depth.png" "$work/png$depth.bmp"
  diff=$(compare -metric AE "$work/card$depth.png" "$work/png$depth.bmp" null: 2>&1) || true
  [ "$diff" = 0 ] || fail "png depth $depth: readers disagree in $diff pixels"
done
diff=$(compare -metric AE "$work/card.bmp" "$work/card24.png" null: 2>&1) || true
[ "$diff" = 0 ] || fail "24-bit PNG is not lossless ($diff pixels)"

# GIF and TIFF in both directions, on a card whose width is not a multiple of 8: another
# reader sees in our files what our own reader decodes.
convert "$work/card.bmp" -crop 637x479+0+0 +repage BMP3:"$work/odd.bmp"
for spec in "gif 8" "gif 4 --interlace" "gif 1" "tif 1" "tif 4" "tif 8" "tif 8 --gray" "tif 24"; do
  set -- $spec
  ext=$1 depth=$2
  shift 2
  out="$work/odd-$ext-$depth$*.$ext"
  out=${out// /}
  "$imgtool" convert "$work/odd.bmp" "$out" --depth "$depth" "$@"
  "$imgtool" decode "$out" "$work/back.bmp"
  # Colour maps hold component × 256, which that reader scales by 255/65535: allow 1%.
  diff=$(compare -metric AE -fuzz 1% "$out[0]" "$work/back.bmp" null: 2>&1) || true
  [ "$diff" = 0 ] || fail "$ext depth $depth $*: readers disagree in $diff pixels"
done
case "$("$imgtool" info "$work/odd-gif-4--interlace.gif")" in
  *"format=5 width=637 height=479 bits=8 sourceBits=4 interlaced=1 "*) ;;
  *) fail "info of an interlaced GIF" ;;
esac

# JPEG: written, read back, and turned losslessly from the written file's coefficients.
"$imgtool" convert "$work/card.bmp" "$work/card.jpg" --quality 90 --comment "test card"
expect "format=3 width=640 height=480 bits=24 sourceBits=24 interlaced=0 transparency=0 text=0 comment=1" \
  "$("$imgtool" info "$work/card.jpg")" "info of the JPEG card"
"$imgtool" convert "$work/card.jpg" "$work/turned.jpg" --format 5 --turn 1 --marker 1
expect "format=3 width=480 height=640 bits=24 sourceBits=24 interlaced=0 transparency=0 text=0 comment=1" \
  "$("$imgtool" info "$work/turned.jpg")" "card turned 90 degrees"
"$imgtool" convert "$work/card.jpg" "$work/grey.jpg" --format 5 --turn 2 --gray --progressive --marker 0
expect "format=3 width=640 height=480 bits=8 sourceBits=8 interlaced=1 transparency=0 text=0 comment=0" \
  "$("$imgtool" info "$work/grey.jpg")" "card turned 180 degrees in grey"
set +e
out=$("$imgtool" convert "$work/card.bmp" "$work/z.jpg" --format 5 --turn 1); code=$?
set -e
expect "error=2 1" "$out $code" "lossless turn of a BMP"

# Failures carry their codes.
set +e
out=$("$imgtool" convert "$work/card.bmp" "$work/x.bmp" --depth 16); code=$?
set -e
expect "error=7 1" "$out $code" "unsupported reduction"
[ ! -e "$work/x.bmp" ] || fail "a failed convert left a file"
set +e
: > "$work/empty.bmp"
out=$("$imgtool" info "$work/empty.bmp"); code=$?
out2=$("$imgtool" info "$work/missing.bmp"); code2=$?
out3=$("$imgtool" convert "$work/card.bmp" "$work/y" --bogus 1 2>/dev/null); code3=$?
set -e
expect "error=6 1" "$out $code" "empty file"
expect "error=4 1" "$out2 $code2" "missing file"
expect "2" "$code3" "unknown option"
# Replacing a destination: a read-only one (no write bit for its owner, which holds for root
# too) is refused and kept; a replaced file keeps its mode; a symbolic link stays a link and
# its target takes the file; nothing is left beside them.
mkdir "$work/dest"
cp "$work/card1.bmp" "$work/dest/ro.bmp"
chmod 0444 "$work/dest/ro.bmp"
set +e
out=$("$imgtool" convert "$work/card.bmp" "$work/dest/ro.bmp" --depth 8 --dither 0); code=$?
set -e
expect "error=5 1" "$out $code" "read-only destination"
cmp -s "$work/card1.bmp" "$work/dest/ro.bmp" || fail "a read-only destination changed"
cp "$work/card1.bmp" "$work/dest/private.bmp"
chmod 0600 "$work/dest/private.bmp"
cp "$work/card1.bmp" "$work/dest/target.bmp"
ln -s target.bmp "$work/dest/link.bmp"
for name in private link; do
  "$imgtool" convert "$work/card.bmp" "$work/dest/$name.bmp" --depth 8 --dither 0
done
expect 600 "$(stat -c %a "$work/dest/private.bmp")" "mode of a replaced file"
cmp -s "$work/card8.bmp" "$work/dest/private.bmp" || fail "a 0600 file not replaced"
[ -L "$work/dest/link.bmp" ] || fail "a link replaced by a file"
cmp -s "$work/card8.bmp" "$work/dest/target.bmp" || fail "a link's target not written"
expect "link.bmp private.bmp ro.bmp target.bmp" "$(ls -A "$work/dest" | xargs)" "files beside the destination"
echo "imgtool: all checks passed"
