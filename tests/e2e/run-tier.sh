#!/usr/bin/env bash
# The end-to-end tier: e2e_tests.exe drives the real programs under Wine, in
# English (code page 1252) and Japanese (932). The cases that need another
# system (a PDF viewer or none, other Windows versions, a 256-colour display)
# run in copies of the project's prefix, each with its own wineserver, so the
# main prefix stays as it is. test.sh provides DISPLAY (1024x768x24) and a
# persistent wineserver; run alone, the script starts its own Xvfb.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/tools/wine-env.sh"
MAIN_PREFIX=$WINEPREFIX
E2E_DIR="${E2E_BUILD:-$ROOT/build/x86_64}/tests/e2e"
TESTS="$E2E_DIR/e2e_tests.exe"
VIEWER="$E2E_DIR/e2e_test_viewer.exe"
COPIES="${E2E_COPIES:-$ROOT/build/wine/e2e}"
RUN_TIMEOUT=${E2E_RUN_TIMEOUT:-600}  # a hang guard: a loaded machine is slow, not wrong

if [ ! -f "$TESTS" ] || [ ! -f "$VIEWER" ]; then
  echo "e2e: $TESTS or $VIEWER is missing (build the x86_64 tree)"
  echo "RESULT: 0 passed, 1 failed"
  exit 1
fi
ensure_wine_prefix || { echo "RESULT: 0 passed, 1 failed"; exit 1; }

xvfb_pids=()
prefix_servers=()
cleanup() {
  local p
  for p in "${prefix_servers[@]}"; do WINEPREFIX=$p "$WINESERVER" -k >/dev/null 2>&1; done
  for p in "${xvfb_pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb 24
  xvfb_pids+=("$XVFB_PID")
  export DISPLAY=$XVFB_DISPLAY
fi

# make_prefix NAME: a fresh copy of the main prefix with its own wineserver.
# The large system files are hard links; the registry and the user folders,
# the only things a run writes, are real copies.
make_prefix() {
  local copy="$COPIES/$1"
  rm -rf "$copy"
  mkdir -p "$COPIES"
  cp -al "$MAIN_PREFIX" "$copy"
  local f
  for f in "$MAIN_PREFIX"/*.reg; do cp -a --remove-destination "$f" "$copy/"; done
  rm -rf "$copy/drive_c/users" && cp -a "$MAIN_PREFIX/drive_c/users" "$copy/drive_c/"
  prefix_servers+=("$copy")
  PREFIX=$copy
}

reg_in() {  # reg_in PREFIX reg-arguments...
  local p=$1; shift
  WINEPREFIX=$p LANG=C.UTF-8 "$WINE" reg "$@" >/dev/null 2>&1
}

stop_server() {
  WINEPREFIX=$1 "$WINESERVER" -k >/dev/null 2>&1
  WINEPREFIX=$1 "$WINESERVER" -w >/dev/null 2>&1
}

status=0
# run LABEL LOCALE PREFIX FILTER [VAR=VALUE...]
run() {
  local label=$1 locale=$2 prefix=$3 filter=$4; shift 4
  local start=$SECONDS
  echo "=== e2e $label (LANG=$locale)"
  # Into a file, not a pipe: Wine's service processes inherit the output and
  # outlive the tests, so a pipe would never see its end.
  local log="$COPIES/run.log"
  mkdir -p "$COPIES"
  env WINEPREFIX="$prefix" LANG="$locale" "$@" timeout -k 10 "$RUN_TIMEOUT" \
    "$WINE" "$TESTS" --gtest_color=no "--gtest_filter=$filter" >"$log" 2>&1 </dev/null
  local rc=$?
  tr -d '\r' <"$log"
  [ "$rc" -eq 0 ] || { status=1; echo "=== e2e $label failed (exit $rc)"; }
  echo "=== e2e $label took $((SECONDS - start)) s"
}

# Pictures made by ImageMagick and Pillow, with their references also as
# 24-bit BMPs. E2E_PICTURES and E2E_OUT are Unix paths; the tests see them
# under Z:. The shuffler's screenshots and saved files go to E2E_OUT and are
# checked with ImageMagick at the end.
PICTURES="$COPIES/pictures"
# Made again whenever the script that makes them has changed.
if [ ! -f "$PICTURES/manifest.tsv" ] || [ "$ROOT/tests/pictures/make_pictures.py" -nt "$PICTURES/manifest.tsv" ]; then
  rm -rf "$PICTURES"
  mkdir -p "$PICTURES"
  /usr/bin/python3 "$ROOT/tests/pictures/make_pictures.py" "$PICTURES" >/dev/null ||
    echo "e2e: the test pictures could not be made"
  for ref in "$PICTURES"/*.ref.png; do convert "$ref" -type TrueColor "BMP3:${ref%.png}.bmp"; done
fi
export E2E_PICTURES="$PICTURES" E2E_OUT="$E2E_DIR/shuffler-out"
rm -rf "$E2E_OUT"; mkdir -p "$E2E_OUT"

tier_start=$SECONDS
# Everything but the suites that need a prefix or display of their own
# (below), so a new suite cannot be left out by accident.
BASE='-*/Viewer.*:*/NoViewer.*:LowColour.*'
# E2E_ONLY=FILTER runs just those cases, in both languages in the main
# prefix, and the output checks: for working on a few cases. (E2E_XVFB_FIRST:
# the first display number tried for the 256-colour Xvfb.)
if [ -n "${E2E_ONLY:-}" ]; then
  run "english" C.UTF-8 "$MAIN_PREFIX" "$E2E_ONLY" E2E_WINDOWS=6.1
  run "japanese" ja_JP.UTF-8 "$MAIN_PREFIX" "$E2E_ONLY" E2E_WINDOWS=6.1
  "$ROOT/tests/e2e/check-out.sh" "$E2E_PICTURES" "$E2E_OUT" || status=1
  if compgen -G "$E2E_OUT/[pb]out-*.png" >/dev/null; then
    /usr/bin/python3 "$ROOT/tests/e2e/check_shuffled_png.py" "$E2E_PICTURES" "$E2E_OUT" || status=1
  fi
  if compgen -G "$E2E_OUT/pngsave-*.png" >/dev/null || compgen -G "$E2E_OUT/bmppng-*.png" >/dev/null; then
    /usr/bin/python3 "$ROOT/tests/e2e/check-png.py" "$E2E_OUT" || status=1
  fi
  exit $status
fi

# The main prefix is the Windows 7 one Wine sets up (CurrentVersion 6.1).
run "english" C.UTF-8 "$MAIN_PREFIX" "$BASE" E2E_WINDOWS=6.1
run "japanese" ja_JP.UTF-8 "$MAIN_PREFIX" "$BASE" E2E_WINDOWS=6.1

# Help with a viewer: .pdf opens with the stand-in viewer.
make_prefix viewer
viewer_win="Z:$(echo "$VIEWER" | tr / '\\')"
reg_in "$PREFIX" add 'HKCR\.pdf' /ve /d E2ETestViewer.Document /f
reg_in "$PREFIX" add 'HKCR\E2ETestViewer.Document\shell\open\command' /ve /d "\"$viewer_win\" \"%1\"" /f
run "viewer english" C.UTF-8 "$PREFIX" '*/Viewer.*'
run "viewer japanese" ja_JP.UTF-8 "$PREFIX" '*/Viewer.*'
stop_server "$PREFIX"

# Help without a viewer: Wine hands .pdf to winebrowser by default; remove that.
make_prefix noviewer
reg_in "$PREFIX" delete 'HKCR\.pdf' /f
reg_in "$PREFIX" delete 'HKCR\pdffile' /f
run "no viewer english" C.UTF-8 "$PREFIX" '*/NoViewer.*'
run "no viewer japanese" ja_JP.UTF-8 "$PREFIX" '*/NoViewer.*'
stop_server "$PREFIX"

# Other Windows versions of the NT family.
for version in 5.0 5.1; do
  make_prefix "nt$version"
  reg_in "$PREFIX" add 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' /v CurrentVersion /d "$version" /f
  run "windows $version" C.UTF-8 "$PREFIX" 'Variant.*' E2E_WINDOWS="$version"
  stop_server "$PREFIX"
done

# A Windows 95-family registry: no NT version value, a product name of Windows ME.
make_prefix me
reg_in "$PREFIX" add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion' /v ProductName /d 'Microsoft Windows ME' /f
stop_server "$PREFIX"
awk '
  /^\[/ { nt = ($0 ~ /^\[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\]/) }
  nt && /^"CurrentVersion"=/ { next }
  { print }
' "$PREFIX/system.reg" >"$PREFIX/system.reg.new" && mv "$PREFIX/system.reg.new" "$PREFIX/system.reg"
run "windows me" C.UTF-8 "$PREFIX" 'Variant.*' E2E_WINDOWS=me
stop_server "$PREFIX"

# The colour editor on a display of 256 colours.
make_prefix depth8
start_xvfb 8 "${E2E_XVFB_FIRST:-80}"
xvfb_pids+=("$XVFB_PID")
run "256 colours" C.UTF-8 "$PREFIX" 'LowColour.*' DISPLAY="$XVFB_DISPLAY"
stop_server "$PREFIX"

# What the shuffler and the editor wrote and showed, judged by ImageMagick
# and libtiff (see check-out.sh).
"$ROOT/tests/e2e/check-out.sh" "$E2E_PICTURES" "$E2E_OUT" || status=1
# The PNGs the shuffler saved, judged by Pillow (see check_shuffled_png.py).
/usr/bin/python3 "$ROOT/tests/e2e/check_shuffled_png.py" "$E2E_PICTURES" "$E2E_OUT" || status=1
# The editor's PNGs, judged by Pillow and ImageMagick (see check-png.py).
/usr/bin/python3 "$ROOT/tests/e2e/check-png.py" "$E2E_OUT" || status=1

echo "=== e2e tier took $((SECONDS - tier_start)) s"
exit $status
