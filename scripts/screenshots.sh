#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Captures the README's screenshots from real runs of the game under a private Xvfb:
# docs/intro.png, menu.png, options.png, playing.png, highscores.png, farewell.png.
# Run again whenever the look of the game changes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
command -v import >/dev/null || { echo "Installing imagemagick for screenshots"; apt-get install -y -qq imagemagick >/dev/null; }
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target yuletumble >/dev/null

display=":$(( 150 + RANDOM % 50 ))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; pkill -f "$work" 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
sleep 1

ln -s "$root/data" "$work/data"
printf '%s' "0 0 1 1" > "$work/game.cfg"
printf '%s\n' Rudolph 31250 Comet 18700 Dasher 12400 Vixen 9100 Cupid 5600 \
  Blitzen 3300 Donner 2100 Prancer 1200 Dancer 640 Frosty_the_Snowman 320 > "$work/highscore.lst"

(cd "$work" && exec "$root/build/src/app/yuletumble" >/dev/null) &
game=$!
for _ in $(seq 100); do window=$(xdotool search --name '^Yuletumble$' 2>/dev/null | head -1) && [ -n "$window" ] && break; sleep 0.1; done
xdotool windowfocus --sync "$window"
shot() { import -window "$window" "$root/docs/$1.png"; echo "docs/$1.png"; }
keys() { xdotool key --delay 80 "$@"; }

mkdir -p docs
sleep 1.5; shot intro
keys space; sleep 2; shot menu
keys Down Return; sleep 1.5; shot options
keys Escape; sleep 0.3
keys Return; sleep 1
# A few pieces spread over the well, then one in flight.
for moves in "Left Left Left Left" "Right Right Right" "Up Left" "Right Right Right Right Right" "Up Up Left Left Left Left Left" "Right"; do
  keys $moves Down; sleep 1.6
done
sleep 0.8; shot playing
keys Escape Down Down Return; sleep 1.5; shot highscores
keys Escape; sleep 0.3; keys Escape; sleep 6; shot farewell
keys q
wait $game || true
