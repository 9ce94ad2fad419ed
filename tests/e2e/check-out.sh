#!/usr/bin/env bash
# check-out.sh PICTURES OUT: judges what the end-to-end cases left in OUT by
# ImageMagick and libtiff. The shuffler's shot-LANG-NAME.bmp (the screen after
# Randomize PLT) and out-LANG-NAME.bmp / .tif (the saved files) must have
# exactly the pixels of the picture's own rendering (NAME.ref.png); the
# editor's pair-LANG-NAME.tif must have exactly the pixels of the BMP saved
# beside it from the same palette, pair-LANG-NAME.bmp. Each TIFF must pass
# tiffinfo -D and identify -regard-warnings cleanly. Prints one line per
# failed check and "RESULT: N passed, M failed".
set -uo pipefail
PICTURES=$1
OUT=$2
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
passed=0
failed=0
check() {  # check LABEL COMMAND...
  local label=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL e2e output: $label"; fi
}
same_pixels() {  # same_pixels FILE REF: equal sizes and equal RGB bytes, as ImageMagick reads them
  local a b
  a=$(convert "$1" -alpha off -format '%wx%h' info: 2>&1)
  b=$(convert "$2" -alpha off -format '%wx%h' info: 2>&1)
  [ "$a" = "$b" ] || { echo "  $1 is $a, $2 is $b"; return 1; }
  convert "$1" -alpha off -depth 8 rgb:"$TMP/a.rgb" && convert "$2" -alpha off -depth 8 rgb:"$TMP/b.rgb" &&
    cmp -s "$TMP/a.rgb" "$TMP/b.rgb" || { echo "  $1: pixels differ from $2"; return 1; }
}
tiff_clean() {
  local report
  report=$(tiffinfo -D "$1" 2>&1 >/dev/null)
  [ -z "$report" ] || { echo "  $1: $report"; return 1; }
  report=$(identify -regard-warnings "$1" 2>&1 >/dev/null) || { echo "  $1: $report"; return 1; }
}
count=0
for f in "$OUT"/shot-*.bmp "$OUT"/out-*.bmp "$OUT"/out-*.tif; do
  [ -e "$f" ] || continue
  count=$((count + 1))
  base=$(basename "$f"); base=${base#*-}; base=${base#*-}; name=${base%.*}
  check "$(basename "$f")" same_pixels "$f" "$PICTURES/$name.ref.png"
  case "$f" in *.tif) check "$(basename "$f") tiffinfo" tiff_clean "$f";; esac
done
for f in "$OUT"/pair-*.tif; do
  [ -e "$f" ] || continue
  count=$((count + 1))
  check "$(basename "$f")" same_pixels "$f" "${f%.tif}.bmp"
  check "$(basename "$f") tiffinfo" tiff_clean "$f"
done
[ "$count" -gt 0 ] || { echo "FAIL e2e output: the cases left nothing to check"; failed=$((failed + 1)); }
echo "RESULT: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
