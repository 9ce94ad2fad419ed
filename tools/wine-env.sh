# Sourced by test.sh, run.sh and the Wine test tiers: the project's own Wine
# prefix and the environment every Wine run uses.
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$ROOT/build/wine/prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
# Bumped whenever the prefix set-up below changes, so old prefixes are rebuilt.
WINE_PREFIX_VERSION=3

# Creates the prefix once and reuses it while its stamp matches.
ensure_wine_prefix() {
  local stamp="$WINEPREFIX/.project-prefix"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$WINE_PREFIX_VERSION" ] && [ -f "$WINEPREFIX/system.reg" ]; then
    return 0
  fi
  echo "wine: creating the prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # Created under a Japanese locale, so Japanese renders with real glyphs;
  # each run picks its code page by its own LANG (ja_JP.UTF-8: 932, C.UTF-8: 1252).
  LANG=ja_JP.UTF-8 "$WINE" wineboot -i >/dev/null 2>&1 || true
  "$WINESERVER" -w || true
  # Without a window manager every close of a top-level window waits 2 s
  # unless Wine manages no windows itself.
  LANG=C.UTF-8 "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # The Japanese dialogs name "ＭＳ Ｐゴシック" and the captions "ＭＳゴシック";
  # without them Wine falls back to a wide fixed-pitch face and texts wrap.
  LANG=C.UTF-8 "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null 2>&1
  LANG=C.UTF-8 "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'ＭＳゴシック' /d IPAGothic /f >/dev/null 2>&1
  # Drives of each type for the drive checks: e: floppy, f: CD-ROM, g: network.
  local d
  for d in e f g; do
    mkdir -p "$ROOT/build/wine/drive_$d"
    ln -sfn "$ROOT/build/wine/drive_$d" "$WINEPREFIX/dosdevices/$d:"
  done
  LANG=C.UTF-8 "$WINE" reg add 'HKLM\Software\Wine\Drives' /v e: /d floppy /f >/dev/null 2>&1
  LANG=C.UTF-8 "$WINE" reg add 'HKLM\Software\Wine\Drives' /v f: /d cdrom /f >/dev/null 2>&1
  LANG=C.UTF-8 "$WINE" reg add 'HKLM\Software\Wine\Drives' /v g: /d network /f >/dev/null 2>&1
  # h: a fixed disk without room: sysfs reports no free block, so a save's
  # free-space check refuses it before anything is written.
  ln -sfn /sys "$WINEPREFIX/dosdevices/h:"
  LANG=C.UTF-8 "$WINE" reg add 'HKLM\Software\Wine\Drives' /v h: /d hd /f >/dev/null 2>&1
  "$WINESERVER" -k || true
  "$WINESERVER" -w || true
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine: prefix creation failed" >&2; return 1; }
  echo "$WINE_PREFIX_VERSION" > "$stamp"
}

# start_xvfb DEPTH [FIRST]: starts an Xvfb of 1024 x 768 at that depth on the
# first free display from FIRST (80 unless given), waits for it, and sets
# XVFB_DISPLAY (":N") and XVFB_PID.
start_xvfb() {
  local n=${2:-80}
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "1024x768x$1" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  XVFB_DISPLAY=":$n"
}
