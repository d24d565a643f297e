#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game alone (the play preset, in build-play/) and starts it from the repository root,
# where it finds data/ and keeps game.cfg and highscore.lst. Installs only what building and
# running the game need, and only what is missing: with all of it there, any user can play. The
# window is as large as the desktop allows, as the installed launcher opens it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh game
cmake --preset play >/dev/null
cmake --build --preset play
. packaging/window_scale.sh
yt_fit_window
exec ./build-play/src/app/yuletumble
