#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates every image and tune in data/ and the application icon from the generator in
# tools/: builds it (it needs FreeType, LAME and the DejaVu fonts) in build-tools/ and runs it.
# The output is deterministic, so running it again changes no file.
#   scripts/make-assets.sh            # writes data/ and packaging/yuletumble.png
#   scripts/make-assets.sh --preview DIR   # also writes on-screen previews of the art to DIR
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-tools -G Ninja -DCMAKE_BUILD_TYPE=Release -DYT_BUILD_TOOLS=ON \
  -DYT_BUILD_TESTS=OFF -DYT_BUILD_BENCH=OFF >/dev/null
cmake --build build-tools --target yt_make_assets
mkdir -p data packaging
./build-tools/tools/yt_make_assets data --icon packaging/yuletumble.png "$@"
