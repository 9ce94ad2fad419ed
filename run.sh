#!/usr/bin/env bash
# ./run.sh kestro98|mirtav00 [--lang en|ja]
# Installs and builds what is missing, then starts the program under Wine in
# the project's prefix. With a reachable display it runs there until the user
# closes it; without one it runs under its own Xvfb, waits for the main window
# to paint, writes out/PROGRAM-LANG.png and closes the program again.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
cd "$ROOT"

usage() { echo "usage: ./run.sh kestro98|mirtav00 [--lang en|ja]" >&2; exit 2; }

program=""
lang=en
while [ $# -gt 0 ]; do
  case "$1" in
    kestro98|mirtav00) program=$1 ;;
    --lang) shift; lang=${1:-} ;;
    --lang=*) lang=${1#--lang=} ;;
    *) usage ;;
  esac
  shift
done
[ -n "$program" ] || usage
case "$lang" in en) locale=C.UTF-8 ;; ja) locale=ja_JP.UTF-8 ;; *) usage ;; esac
case "$program" in
  kestro98) exe=KESTRO98.EXE ;;
  mirtav00) exe=MIRTAV00.EXE ;;
esac

if [ "$(id -u)" = 0 ]; then
  ./tools/install-deps.sh || { echo "run.sh: installing the packages failed" >&2; exit 1; }
fi

build="$ROOT/build/x86_64"
mkdir -p "$ROOT/build/logs"
log="$ROOT/build/logs/run-build.log"
if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "run.sh: configuring $build"
  cmake -S "$ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" >"$log" 2>&1 \
    || { tail -20 "$log"; echo "run.sh: configuring failed" >&2; exit 1; }
fi
echo "run.sh: building (log in $log)"
if ! cmake --build "$build" -j2 >>"$log" 2>&1; then
  # Something else in the tree may be broken; the program alone may still build.
  cmake --build "$build" -j2 --target "$program" >>"$log" 2>&1 \
    || { grep -E 'error' "$log" | head -20; echo "run.sh: building $exe failed" >&2; exit 1; }
  echo "run.sh: the full build failed, running $exe built on its own"
fi
[ -f "$build/bin/$exe" ] || { echo "run.sh: $build/bin/$exe is missing" >&2; exit 1; }

source "$ROOT/tools/wine-env.sh"
ensure_wine_prefix || exit 1

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run.sh: starting $exe ($lang) on your display $DISPLAY"
  cd "$build/bin" && LANG=$locale exec "$WINE" "$exe"
fi

# No display: an Xvfb of our own and a screenshot.
display=70
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
prog_pid=""
cleanup() {
  [ -n "$prog_pid" ] && kill "$prog_pid" 2>/dev/null && wait "$prog_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"
echo "run.sh: no display found; starting $exe ($lang) under Xvfb $DISPLAY for a screenshot"

(cd "$build/bin" && LANG=$locale exec "$WINE" "$exe") &
prog_pid=$!

# Wine names each top-level X window after its Windows title; wait for the
# main window to map (bounded), then give it a moment to paint its logo.
window=""
for _ in $(seq 150); do
  window=$(xdotool search --onlyvisible --classname "${exe,,}" 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 "$prog_pid" 2>/dev/null || break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "run.sh: the main window of $exe did not appear within 30 s" >&2
  exit 1
fi
sleep 3
mkdir -p "$ROOT/out"
shot="$ROOT/out/$program-$lang.png"
import -window root "$shot" || { echo "run.sh: the screenshot failed" >&2; exit 1; }
echo "run.sh: screenshot written to $shot (window: $(xdotool getwindowname "$window" 2>/dev/null))"
kill "$prog_pid" 2>/dev/null
wait "$prog_pid" 2>/dev/null
prog_pid=""
echo "run.sh: closed $exe"
