#!/usr/bin/env bash
# A bounded fuzz pass: each target runs for FUZZ_SECONDS (30 by default) on a
# fresh copy of the seed corpus in build/fuzz/corpus-<target>. One result per
# target: passed when it ends with status 0 and no crash; non-zero exit on any
# finding. Crash inputs are kept in build/fuzz/findings-<target>.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD="$ROOT/build/fuzz"
SECONDS_EACH=${FUZZ_SECONDS:-30}
targets=(fuzz_bmp fuzz_kestro fuzz_mirtav fuzz_png)

seeds="$BUILD/seeds"
rm -rf "$seeds"; mkdir -p "$seeds"
if ! "$BUILD/tests/fuzz/make_seeds" "$seeds"; then
  echo "make_seeds failed"
  echo "RESULT: 0 passed, ${#targets[@]} failed"
  exit 1
fi

passed=0
failed=0
for t in "${targets[@]}"; do
  exe="$BUILD/tests/fuzz/$t"
  corpus="$BUILD/corpus-$t"
  findings="$BUILD/findings-$t"
  if [ ! -x "$exe" ]; then
    echo "$t: not built"; failed=$((failed + 1)); continue
  fi
  rm -rf "$corpus"; mkdir -p "$corpus" "$findings"
  cp "$seeds"/* "$corpus"/
  echo "== $t for ${SECONDS_EACH}s"
  "$exe" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" >"$BUILD/$t.log" 2>&1
  status=$?
  grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE|ERROR|SUMMARY|Test unit written' "$BUILD/$t.log" | head -20
  if [ "$status" -eq 0 ] && ! grep -qE '^==[0-9]+==ERROR|deadly signal|Test unit written' "$BUILD/$t.log"; then
    echo "$t: passed"; passed=$((passed + 1))
  else
    echo "$t: FAILED (status $status), see $BUILD/$t.log and $findings"; failed=$((failed + 1))
  fi
done
echo "RESULT: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
