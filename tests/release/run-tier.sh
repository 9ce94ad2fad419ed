#!/usr/bin/env bash
# The release tier: the zips made by `cmake --build build/<arch> --target
# package`, checked as a Windows user gets them. Each zip must be flat (the two
# programs, their four PDFs, README.TXT) and unpack into a fresh folder; its
# EXEs must be stripped (no debug sections, each under 1 MB) and built for
# the zip's machine, while the build tree's own EXEs keep their debug
# information. Then release_tests.exe, in a copy of the project's prefix with
# the e2e tier's stand-in PDF viewer registered, starts the 64-bit programs
# from their folder in English and Japanese and reads the version resources of
# all four EXEs. This machine cannot execute 32-bit programs under Wine, so
# the win32 zip is checked by its listing, its PE headers and its version
# resources only. test.sh provides DISPLAY and the wineserver.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/tools/wine-env.sh"
MAIN_PREFIX=$WINEPREFIX
WORK="$ROOT/build/wine/release"
TESTS="$ROOT/build/x86_64/tests/release/release_tests.exe"
VIEWER="$ROOT/build/x86_64/tests/e2e/e2e_test_viewer.exe"
LIMIT=$((1024 * 1024))
FILES="KESTRO98.EXE KESTRO9E.PDF KESTRO9J.PDF MIRTAV00.EXE MIRTAV0E.PDF MIRTAV0J.PDF README.TXT"

passed=0
failed=0
check() {  # check NAME DETAIL-ON-FAILURE COMMAND...
  local name=$1 detail=$2; shift 2
  if "$@"; then passed=$((passed + 1)); echo "PASS $name"; return 0; fi
  failed=$((failed + 1)); echo "FAIL $name: $detail"; return 1
}
finish() { echo "RESULT: $passed passed, $failed failed"; exit "$1"; }

[ -n "${DISPLAY:-}" ] || { echo "release: DISPLAY is not set"; failed=$((failed + 1)); finish 1; }
for f in "$TESTS" "$VIEWER"; do
  [ -f "$f" ] || { echo "release: $f is missing (build the x86_64 tree)"; failed=$((failed + 1)); finish 1; }
done
ensure_wine_prefix || { failed=$((failed + 1)); finish 1; }

# A fresh copy of the main prefix with its own wineserver, made as the e2e
# tier makes its copies; the zips unpack into C:\Release Test.
PREFIX="$WORK/prefix"
rm -rf "$WORK"
mkdir -p "$WORK/viewer"
cp -al "$MAIN_PREFIX" "$PREFIX"
for f in "$MAIN_PREFIX"/*.reg; do cp -a --remove-destination "$f" "$PREFIX/"; done
rm -rf "$PREFIX/drive_c/users" && cp -a "$MAIN_PREFIX/drive_c/users" "$PREFIX/drive_c/"
trap 'WINEPREFIX=$PREFIX "$WINESERVER" -k >/dev/null 2>&1' EXIT
unpacked="$PREFIX/drive_c/Release Test"

# pe_kind EXE: the file format and subsystem objdump reads from the PE headers,
# for example "pei-i386 (Windows GUI)".
pe_kind() {
  x86_64-w64-mingw32-objdump -p "$1" 2>/dev/null |
    sed -nE -e 's/.*file format (pei-[a-z0-9-]+).*/\1/p' -e 's/^Subsystem[[:space:]]+[0-9a-f]+[[:space:]]+(\(.*\))$/\1/p' | tr '\n' ' '
}
has_debug() { x86_64-w64-mingw32-objdump -h "$1" 2>/dev/null | grep -q ' \.debug_'; }
no_debug() { [ -f "$1" ] && ! has_debug "$1"; }
unpack() { (cd "$1" && cmake -E tar xf "$2"); }
smaller_than_limit() { [ "$(stat -c %s "$1")" -lt "$LIMIT" ]; }
readme_ok() {  # UTF-8 with a byte-order mark, CRLF lines, both programs in both languages
  [ "$(head -c 3 "$1" | od -An -tx1 | tr -d ' ')" = efbbbf ] && iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1 &&
    grep -q $'\r$' "$1" && ! grep -q $'[^\r]$' "$1" &&
    grep -q 'KESTRO98.EXE' "$1" && grep -q 'MIRTAV00.EXE' "$1" && grep -q 'ＢＭＰケストロ' "$1" && grep -q 'ミルタヴ' "$1"
}

declare -A zip_name dir_of
for arch in x86_64:win64:pei-x86-64 i686:win32:pei-i386; do
  IFS=: read -r tree label format <<<"$arch"
  build="$ROOT/build/$tree"
  name=$(sed -nE 's/^set\(CPACK_PACKAGE_FILE_NAME "(.*)"\)$/\1/p' "$build/CPackConfig.cmake" 2>/dev/null)
  zip="$build/$name.zip"
  echo "== $label: $zip"
  check "$label zip exists" "$zip is missing (cmake --build build/$tree --target package)" test -n "$name" -a -f "$zip" || continue
  listing=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
  check "$label zip holds exactly the programs, the PDFs and README.TXT, flat" "it holds: $listing" \
    test "$listing" = "$FILES "
  dir="$unpacked/$name"
  mkdir -p "$dir"
  check "$label zip unpacks into a fresh folder" "cmake -E tar xf failed" \
    unpack "$dir" "$zip"
  check "$label README.TXT is UTF-8 with BOM and CRLF, naming both programs in both languages" "see $dir/README.TXT" \
    readme_ok "$dir/README.TXT"
  for exe in KESTRO98.EXE MIRTAV00.EXE; do
    echo "$label $exe: $(stat -c %s "$dir/$exe" 2>/dev/null) bytes in the zip, $(stat -c %s "$build/bin/$exe" 2>/dev/null) in the build tree"
    check "$label $exe is a $format Windows GUI program" "objdump reads '$(pe_kind "$dir/$exe")'" \
      test "$(pe_kind "$dir/$exe")" = "$format (Windows GUI) "
    check "$label $exe in the zip carries no debug sections" "objdump -h lists .debug_ sections" \
      no_debug "$dir/$exe"
    check "$label $exe in the zip is under 1 MB ($LIMIT bytes)" "$(stat -c %s "$dir/$exe") bytes" smaller_than_limit "$dir/$exe"
    check "$label $exe of the build tree keeps its debug information" "no .debug_ sections in $build/bin/$exe" \
      has_debug "$build/bin/$exe"
  done
  zip_name[$label]="$name.zip"
  dir_of[$label]="C:\\Release Test\\$name"
done

# The stand-in viewer writes the path it receives beside itself.
cp "$VIEWER" "$WORK/viewer/"
viewer_win="Z:$(echo "$WORK/viewer/e2e_test_viewer.exe" | tr / '\\')"
WINEPREFIX=$PREFIX LANG=C.UTF-8 "$WINE" reg add 'HKCR\.pdf' /ve /d E2ETestViewer.Document /f >/dev/null 2>&1
WINEPREFIX=$PREFIX LANG=C.UTF-8 "$WINE" reg add 'HKCR\E2ETestViewer.Document\shell\open\command' /ve \
  /d "\"$viewer_win\" \"%1\"" /f >/dev/null 2>&1

status=0
for locale in C.UTF-8 ja_JP.UTF-8; do
  echo "=== release tests (LANG=$locale)"
  # Into a file, not a pipe: Wine's service processes would hold a pipe open.
  WINEPREFIX=$PREFIX LANG=$locale RELEASE_WIN64_DIR="${dir_of[win64]:-}" RELEASE_WIN32_DIR="${dir_of[win32]:-}" \
    RELEASE_WIN64_ZIP="${zip_name[win64]:-}" RELEASE_WIN32_ZIP="${zip_name[win32]:-}" \
    RELEASE_VIEWER_RECEIVED="${viewer_win%\\*}\\viewer-received.txt" \
    timeout -k 10 240 "$WINE" "$TESTS" --gtest_color=no >"$WORK/run.log" 2>&1 </dev/null
  rc=$?
  tr -d '\r' <"$WORK/run.log"
  [ "$rc" -eq 0 ] || { status=1; echo "=== release tests failed (exit $rc)"; }
done
[ "$failed" -eq 0 ] || status=1
finish "$status"
