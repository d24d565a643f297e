#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates every image and tune in data/ and the application icon from the generator in
# tools/: builds it (it needs FreeType, LAME and the DejaVu fonts) in build-tools/, warnings
# counting as errors, and runs it. The output is deterministic, so running it again changes no file.
#   scripts/make-assets.sh                 # writes data/ and packaging/yuletumble.png
#   scripts/make-assets.sh --preview DIR   # also writes on-screen previews of the art to DIR
#   scripts/make-assets.sh --into DIR      # writes DIR/data/ and DIR/packaging/yuletumble.png instead
# (DIR paths are taken from the top of the checkout.)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-tools -G Ninja -DCMAKE_BUILD_TYPE=Release -DYT_BUILD_TOOLS=ON \
  -DYT_BUILD_TESTS=OFF -DYT_BUILD_BENCH=OFF -DYT_WERROR=ON >/dev/null
cmake --build build-tools --target yt_make_assets
root=.
if [ "${1-}" = --into ]; then root=$2; shift 2; fi
mkdir -p "$root/data" "$root/packaging"
./build-tools/tools/yt_make_assets "$root/data" --icon "$root/packaging/yuletumble.png" "$@"
