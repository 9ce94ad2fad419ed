#!/usr/bin/env bash
# Every benchmark of the project in one run: the core's heavy paths natively,
# the editor's view, open, memory, saves and Copy in-process under Wine, and
# the real shuffler driven under Wine. Makes the large pictures it needs,
# then prints each figure beside its reference and the ratio (and the target
# where the figure has one). Not a test: run it on a quiet machine after
# ./test.sh has built the trees; it builds what is missing itself.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-2}
OUT="$ROOT/build/bench"
mkdir -p "$OUT"
: >"$OUT/figures.tsv"

build() {
  local dir=$1; shift
  [ -f "$dir/CMakeCache.txt" ] || cmake -S "$ROOT" -B "$dir" "$@" >"$OUT/build.log" 2>&1 || return 1
  cmake --build "$dir" -j "$JOBS" >>"$OUT/build.log" 2>&1
}
build "$ROOT/build/native" || { echo "bench: the native build failed (build/bench/build.log)"; exit 1; }
build "$ROOT/build/x86_64" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" ||
  { echo "bench: the x86_64 build failed (build/bench/build.log)"; exit 1; }

# The pictures: 16384 x 8192 and 640 x 480, 8 bits, every index but 255 in
# use, entries 1 and 2 of one colour (for Remove unused and Merge duplicates).
/usr/bin/python3 - "$OUT" <<'PY'
import os, struct, sys
def bmp(path, w, h):
    stride = (w + 3) & ~3
    row = bytes(x % 255 for x in range(w)) + bytes(stride - w)
    table = b''.join(bytes((i, 255 - i, (i * 7) % 256, 0) if i != 2 else (1, 254, 7, 0)) for i in range(256))
    offset = 14 + 40 + len(table)
    size = offset + stride * h
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', size, 0, 0, offset))
        f.write(struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, stride * h, 0, 0, 256, 0))
        f.write(table)
        for _ in range(h):
            f.write(row)
bmp(sys.argv[1] + '/large.bmp', 16384, 8192)
bmp(sys.argv[1] + '/small.bmp', 640, 480)
# The same pictures as 8-bit PNGs, written by Pillow at its default compression.
from PIL import Image
for name in ('large', 'small'):
    if not os.path.exists(f'{sys.argv[1]}/{name}.png'):
        Image.open(f'{sys.argv[1]}/{name}.bmp').save(f'{sys.argv[1]}/{name}.png')
PY
# An indexed PNG of the same size as Pillow writes it, and the 1 KB one
# claiming 65535 x 65535, from the test pictures' own makers.
/usr/bin/python3 - "$OUT" "$ROOT/tests/pictures" <<'PY'
import shutil, sys, tempfile
sys.path.insert(0, sys.argv[2])
import make_pictures
make_pictures.pil_png(sys.argv[1] + '/large.png', (16384, 8192), 256)
with tempfile.TemporaryDirectory() as tmp:
    make_pictures.make_png_pictures(tmp)
    shutil.move(tmp + '/png_bomb_65535x65535.png', sys.argv[1] + '/bomb.png')
PY

run() {  # run NAME COMMAND...: its output into build/bench/NAME.log, its figures collected
  local name=$1; shift
  echo "== $name"
  "$@" >"$OUT/$name.log" 2>&1 || echo "bench: $name ended with status $? (build/bench/$name.log)"
  tr -d '\r' <"$OUT/$name.log" | grep '^FIGURE' | cut -f2- >>"$OUT/figures.tsv"
}

run core "$ROOT/build/native/tests/bench/bench_core" --benchmark_repetitions=3

source "$ROOT/tools/wine-env.sh"
ensure_wine_prefix || { echo "bench: no Wine prefix"; exit 1; }
xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb 24 90
  xvfb_pid=$XVFB_PID
  export DISPLAY=$XVFB_DISPLAY
fi
"$WINESERVER" -p
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
WIN="$ROOT/build/x86_64/tests/win"
(cd "$WIN" && run editor "$WINE" win_tests.exe --gtest_also_run_disabled_tests \
  --gtest_filter='EditorBench.*:-EditorBench.DISABLED_Png*')
(cd "$WIN" && WIN_BENCH_PNG=$(winpath "$OUT/large.png") WIN_BENCH_PNG_BOMB=$(winpath "$OUT/bomb.png") \
  run editor-png "$WINE" win_tests.exe --gtest_also_run_disabled_tests --gtest_filter='EditorBench.DISABLED_Png*')
(cd "$WIN" && WIN_BENCH_PICTURE=$(winpath "$OUT/large.bmp") run editor-output "$WINE" win_tests.exe \
  --gtest_also_run_disabled_tests --gtest_filter='DISABLED_KestroOutputBench.SaveAndCopyBesideTheirReferences')
mkdir -p "$OUT/shuffler-out"
run shuffler "$WINE" "$ROOT/build/x86_64/tests/e2e/shuffler_bench.exe" "$(winpath "$OUT/large.bmp")" \
  "$(winpath "$OUT/small.bmp")" "$(winpath "$OUT/shuffler-out")" "$(winpath "$OUT/large.png")" \
  "$(winpath "$OUT/small.png")"
# /arrange on 200 pictures of 256 x 256 (8 bits, their tables reversed in
# the palette file) beside CopyFileA of the same files.
/usr/bin/python3 - "$OUT/arrange-sources" <<'PY'
import os, struct, sys
os.makedirs(sys.argv[1], exist_ok=True)
table = [(i, (i * 3) % 256, 255 - i) for i in range(256)]
with open(sys.argv[1] + '/order.hex', 'w') as f:
    f.writelines('%02X%02X%02X\n' % c for c in reversed(table))
stride, h = 256, 256
info = struct.pack('<IiiHHIIiiII', 40, 256, h, 1, 8, 0, stride * h, 0, 0, 256, 0)
colours = b''.join(bytes((b, g, r, 0)) for (r, g, b) in table)
for n in range(200):
    pixels = bytes((x * 7 + y * 3 + n) % 256 for y in range(h) for x in range(256))
    head = b'BM' + struct.pack('<IHHI', 14 + 40 + 1024 + len(pixels), 0, 0, 14 + 40 + 1024)
    with open(sys.argv[1] + '/p%03d.bmp' % n, 'wb') as f:
        f.write(head + info + colours + pixels)
PY
rm -rf "$OUT/arrange-work"
run arrange "$WINE" "$ROOT/build/x86_64/tests/e2e/batch_bench.exe" "$(winpath "$OUT/arrange-sources")" \
  "$(winpath "$OUT/arrange-work")" "$(winpath "$OUT/arrange-sources/order.hex")" 200
"$WINESERVER" -k >/dev/null 2>&1
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null

echo
printf '%-78s %14s   %-18s %14s %8s %8s\n' "figure" "value" "reference" "" "ratio" "target"
while IFS=$'\t' read -r what value reference refValue ratio target; do
  verdict=""
  if [ "$target" != "-" ]; then
    # A figure at or below zero is a failed measurement, never a target met.
    verdict=$(awk -v r="${ratio%x}" -v t="${target%x}" 'BEGIN { print (r <= 0) ? "INVALID" : (r <= t) ? "met" : "MISSED" }')
  fi
  printf '%-78s %14s   %-18s %14s %8s %8s %s\n' "$what" "$value" "$reference" "$refValue" "$ratio" "$target" "$verdict"
done <"$OUT/figures.tsv"
