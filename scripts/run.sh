#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game and starts it from the repository root, where it finds data/ and keeps
# game.cfg and highscore.lst.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target yuletumble
exec ./build/src/app/yuletumble
