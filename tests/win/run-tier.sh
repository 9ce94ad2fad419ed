#!/usr/bin/env bash
# The Win32 tier: the in-process tests of both programs under Wine, once in
# English (code page 1252) and once in Japanese (932), then every TIFF the
# tests wrote is read back by libtiff and ImageMagick and compared pixel for
# pixel with the BMP it came from, and every PNG they wrote is read back by
# Pillow. DISPLAY and the wineserver come from test.sh.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/tools/wine-env.sh"
BIN="$ROOT/build/x86_64/tests/win"
OUT="$BIN/out"
status=0

for exe in win_tests.exe; do
  if [ ! -f "$BIN/$exe" ]; then
    echo "run-tier: $BIN/$exe is missing"
    echo "RESULT: 0 passed, 1 failed"
    exit 1
  fi
done
[ -n "${DISPLAY:-}" ] || { echo "run-tier: DISPLAY is not set"; echo "RESULT: 0 passed, 1 failed"; exit 1; }

rm -rf "$OUT"
mkdir -p "$OUT"
# Wine maps / to Z:.
WIN_OUT="Z:$(printf '%s' "$OUT" | tr '/' '\\')"

# Pictures made by ImageMagick and Pillow for the editor's save tests.
PICTURES="$OUT/pictures"
WIN_PICTURES=""
if /usr/bin/python3 "$ROOT/tests/pictures/make_pictures.py" "$PICTURES" >"$OUT/pictures.log" 2>&1; then
  WIN_PICTURES="Z:$(printf '%s' "$PICTURES" | tr '/' '\\')"
else
  echo "run-tier: make_pictures.py failed; the independent pictures are not saved"; status=1
fi

cd "$BIN" || exit 1
run() {
  local lang=$1 exe=$2 filter=$3
  echo "== $exe, LANG=$lang"
  # Into a file, not a pipe: Wine's service processes inherit the output and
  # would hold a pipe open after the test has ended.
  LANG=$lang WIN_TEST_OUTPUT="$WIN_OUT" WIN_TEST_PICTURES="$WIN_PICTURES" timeout 600 "$WINE" "$exe" --gtest_filter="$filter" \
    --gtest_color=no >"$OUT/run.log" 2>&1
  local rc=$?
  tr -d '\r' <"$OUT/run.log"
  [ "$rc" -eq 0 ] || status=1
}
run C.UTF-8 win_tests.exe '-*Japanese*'
run ja_JP.UTF-8 win_tests.exe '*Japanese*'

# The compiled resources of both programs: every bitmap, the logo, the icon,
# each dialog template, checked from inside a Windows process.
for program in kestro98 mirtav00; do
  check="$ROOT/build/x86_64/tests/resource_check/resource_check_$program.exe"
  echo "== resources of $program"
  if [ -f "$check" ]; then
    LANG=C.UTF-8 timeout 300 "$WINE" "$check" >"$OUT/run.log" 2>&1
    rc=$?
    # Its hundreds of checks count as one test per program.
    tr -d '\r' <"$OUT/run.log" | sed 's/^RESULT:/checks:/'
    if [ "$rc" -eq 0 ]; then
      echo "RESULT: 1 passed, 0 failed"
    else
      echo "RESULT: 0 passed, 1 failed"; status=1
    fi
  else
    echo "FAIL: $check is missing"; echo "RESULT: 0 passed, 1 failed"; status=1
  fi
done

# Independent readers over what the writer produced.
echo "== TIFF files read back by libtiff and ImageMagick"
passed=0
failed=0
shopt -s nullglob
tiffs=("$OUT"/*.tif)
if [ "${#tiffs[@]}" -eq 0 ]; then
  echo "FAIL: the tests left no TIFF in $OUT"
  failed=1
fi
for tif in "${tiffs[@]}"; do
  bmp="${tif%.tif}.bmp"
  name=$(basename "$tif")
  problems=""
  info=$(tiffinfo -D "$tif" 2>&1 >/dev/null)
  [ -z "$info" ] || problems+=" tiffinfo: $info;"
  identify -regard-warnings "$tif" >/dev/null 2>&1 || problems+=" identify refuses it;"
  if [ -f "$bmp" ]; then
    # The source may carry bytes past its size field on purpose.
    diff=$(compare -define bmp:ignore-filesize=true -metric AE "$bmp" "$tif" null: 2>&1)
    [ "$diff" = "0" ] || problems+=" $diff pixels differ from $(basename "$bmp");"
  else
    problems+=" no source BMP;"
  fi
  if [ -z "$problems" ]; then
    echo "ok   $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name:$problems"
    failed=$((failed + 1))
  fi
done
echo "RESULT: $passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1

# The PNGs the codec's tests encoded, read by Pillow against the indices and
# palette each was made from (one ok/FAIL line each and a RESULT line).
echo "== PNG files read back by Pillow"
/usr/bin/python3 "$ROOT/tests/pictures/make_pictures.py" --check-png "$OUT" || status=1
exit $status
