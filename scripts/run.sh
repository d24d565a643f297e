#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game and starts it from the repository root, where it finds data/ and keeps
# game.cfg and highscore.lst. Uses the build directory of the test command's normal preset (build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset normal >/dev/null
cmake --build --preset normal --target yuletumble
exec ./build/src/app/yuletumble
