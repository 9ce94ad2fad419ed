#!/usr/bin/env bash
# Builds everything (native, x86_64, i686, the fuzz targets) and runs every
# test tier: native unit tests, Win32 tests and end-to-end tests under Wine
# and Xvfb, a short fuzz pass. Ends with one line "N passed, N failed".
set -uo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
cd "$ROOT"
JOBS=${JOBS:-2}
LOGS="$ROOT/build/logs"

if [ "$(id -u)" = 0 ]; then
  ./tools/install-deps.sh || { echo "test.sh: installing the packages failed"; echo "0 passed, 1 failed"; exit 1; }
fi
mkdir -p "$LOGS"

passed=0
failed=0

# Adds a tier's counts from its log: GoogleTest's own summary lines, and
# "RESULT: N passed, M failed" lines of the tiers that are not GoogleTest.
count_log() {
  local log=$1 status=$2 p=0 f=0 n
  while read -r n; do p=$((p + n)); done < <(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log")
  while read -r n; do f=$((f + n)); done < <(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below.*/\1/p' "$log")
  while read -r n; do p=$((p + n)); done < <(sed -nE 's/^RESULT: ([0-9]+) passed, ([0-9]+) failed$/\1/p' "$log")
  while read -r n; do f=$((f + n)); done < <(sed -nE 's/^RESULT: ([0-9]+) passed, ([0-9]+) failed$/\2/p' "$log")
  if [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi  # the tier broke before it could count
  if [ "$p" -eq 0 ] && [ "$f" -eq 0 ]; then f=1; fi      # a tier that ran nothing has failed
  passed=$((passed + p))
  failed=$((failed + f))
  printf '%-8s %d passed, %d failed\n' "$(basename "$log" .log):" "$p" "$f"
}

# run_tier NAME COMMAND...: runs one tier with its output in build/logs/NAME.log.
run_tier() {
  local name=$1; shift
  local log="$LOGS/$name.log"
  echo "== $name"
  if [ ! -e "$1" ]; then
    echo "tier $name cannot run: $1 is missing" | tee "$log"
    count_log "$log" 1
    return
  fi
  "$@" >"$log" 2>&1
  local status=$?
  grep -E '^\[  FAILED  \] [A-Za-z]|^FAIL|error:' "$log" | head -40
  count_log "$log" "$status"
}

# build NAME CMAKE-ARGS...: configures once, then builds incrementally.
build() {
  local name=$1; shift
  local dir="$ROOT/build/$name"
  echo "== build $name"
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$dir" "$@" >"$LOGS/build-$name.log" 2>&1 || { tail -30 "$LOGS/build-$name.log"; return 1; }
  fi
  cmake --build "$dir" -j "$JOBS" >>"$LOGS/build-$name.log" 2>&1 || { grep -E 'error|Error' "$LOGS/build-$name.log" | head -30; return 1; }
  if grep -q 'warning:' "$LOGS/build-$name.log"; then
    echo "build $name has warnings:"; grep 'warning:' "$LOGS/build-$name.log" | sort -u | head -20
  fi
  return 0
}

build_ok=1
: >"$LOGS/build-native.log"; : >"$LOGS/build-x86_64.log"; : >"$LOGS/build-i686.log"; : >"$LOGS/build-fuzz.log"
build native || build_ok=0
build x86_64 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" || build_ok=0
build i686 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" || build_ok=0
build fuzz -DFUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang || build_ok=0
# The release zips, build/<arch>/Kestro-Mirtav-<version>-win64|win32.zip, from the
# trees just built (cpack builds nothing; `--target package` would build first).
for tree in x86_64 i686; do
  [ -f "$ROOT/build/$tree/CPackConfig.cmake" ] || continue
  echo "== package $tree"
  (cd "$ROOT/build/$tree" && cpack) >>"$LOGS/build-$tree.log" 2>&1 || { echo "packaging $tree failed"; build_ok=0; }
done
if [ "$build_ok" -ne 1 ]; then failed=$((failed + 1)); echo "a build failed"; fi

run_tier unit "$ROOT/build/native/tests/unit/unit_tests"
run_tier tools "$ROOT/build/native/tools/bmpgen_tests"

# Win32 tiers: one Xvfb and one persistent wineserver for the whole run.
source "$ROOT/tools/wine-env.sh"
if ensure_wine_prefix; then
  start_xvfb 24 99
  xvfb_pid=$XVFB_PID
  export DISPLAY=$XVFB_DISPLAY
  "$WINESERVER" -p
  run_tier win "$ROOT/tests/win/run-tier.sh"
  run_tier e2e "$ROOT/tests/e2e/run-tier.sh"
  run_tier release "$ROOT/tests/release/run-tier.sh"
  "$WINESERVER" -k >/dev/null 2>&1
  kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
else
  echo "the Wine prefix could not be created"; failed=$((failed + 1))
fi

run_tier fuzz "$ROOT/tests/fuzz/run-tier.sh"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
