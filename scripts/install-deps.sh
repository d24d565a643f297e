#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building and running the game need, and, unless the group
# `game` is named, those of its tests and tools too; further groups named as arguments add:
#   screenshots   ImageMagick (its `import` takes the window shots of scripts/screenshots.sh)
# Each package is checked first (dpkg-query); apt-get runs, as root or through sudo, only for those
# missing, so with everything there this runs as any user and does nothing.
set -euo pipefail

packages=(
  # build (dpkg-dev, which build-essential brings, gives Debian's hardening flags: dpkg-buildflags)
  build-essential cmake ninja-build pkg-config
  # the game: SDL 1.2 API, OpenGL, GLU, MP3 decoding; xdpyinfo, for the window's scale
  libsdl1.2-compat-dev libgl-dev libglu1-mesa-dev libmpg123-dev x11-utils
)
tests_and_tools=(
  # the house style
  clang-format
  # tests: GoogleTest (prebuilt, with its CMake package), a virtual X server, key events, Mesa's
  # software renderer, X libraries to read the screen back, clang for the fuzzers
  libgtest-dev xvfb xauth xdotool libgl1-mesa-dri libx11-dev libxfixes-dev clang libclang-rt-14-dev
  # asset generator: FreeType, the DejaVu fonts, LAME
  libfreetype-dev fonts-dejavu-core libmp3lame-dev
  # install test: desktop-entry and metadata validators; file and dpkg-dev for the .deb, lintian
  # and readelf (binutils) to check it
  desktop-file-utils appstream file dpkg-dev lintian
)

only_game=false
for group in "$@"; do
  case $group in
    game) only_game=true ;;
    screenshots) packages+=(imagemagick) ;;
    *) echo "Unknown group of packages: $group (known: game, screenshots)" >&2; exit 2 ;;
  esac
done
$only_game || packages+=("${tests_and_tools[@]}")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "Need root (or sudo) to install: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
