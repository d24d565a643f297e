#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Captures the README's screenshots from real runs of the game under a private Xvfb:
# docs/intro.png, menu.png, options.png, playing.png, highscores.png, farewell.png.
# Run again whenever the look of the game changes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh screenshots
cmake --preset normal >/dev/null
cmake --build --preset normal --target yuletumble >/dev/null

work=$(mktemp -d)
game=""
# Xvfb picks a free display number itself and writes it to a file, as in the test command.
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb $game 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")" LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy

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
