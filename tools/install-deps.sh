#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and run.sh need, and only
# what is missing. Needs root (apt-get); does nothing when all is present.
set -euo pipefail

packages=(
  cmake make g++ ninja-build
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  wine64 wine xvfb xauth x11-utils xdotool
  locales fonts-ipafont-gothic fonts-dejavu-core
  libtiff-tools imagemagick python3 python3-pil
  pandoc poppler-utils weasyprint
  groff ghostscript
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Japanese locale for the Wine prefix (code page 932 and Japanese fonts).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
