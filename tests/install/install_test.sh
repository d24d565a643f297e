#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# scripts/run.sh's packages; the game installed to a temporary prefix, started as the desktop entry does by a new
# user (a temporary home) on a 1920 x 1080 desktop (xvfb-run's), ended, the player's files; the .deb, made with a
# packager's address (in the build's cache for the time of the test): dependencies, contents, lintian, hardening.
set -euo pipefail
build=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
unset SDL12COMPAT_SYNC_TO_VBLANK SDL12COMPAT_WINDOW_SCALING  # the launcher's own values are checked

work=$(mktemp -d)
game=""
maintainer=$(sed -n 's/^YT_PACKAGE_MAINTAINER:STRING=//p' "$build/CMakeCache.txt")
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null
  cmake -DYT_PACKAGE_MAINTAINER="$maintainer" "$build" >/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
prefix=$work/prefix home=$work/home bin=$work/bin
mkdir -p "$home" "$work/elsewhere" "$bin"

# run.sh, only tests' packages missing (a stand-in dpkg-query), goes on to the build (cmake) without sudo or apt-get.
printf '#!/bin/sh\ncase $3 in libgtest-dev|lintian|xvfb) exit 1;; esac; echo install ok installed\n' >"$bin/dpkg-query"
printf '#!/bin/sh\necho "asked for root: $0 $*"; exit 1\n' | tee "$bin/sudo" >"$bin/apt-get"
printf '#!/bin/sh\nexit 42\n' >"$bin/cmake" && chmod +x "$bin"/*
out=$(PATH=$bin:$PATH bash "$(dirname "$0")/../../scripts/run.sh" 2>&1) || [ $? = 42 ] || fail "run.sh: $out"

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in games/yuletumble libexec/yuletumble/yuletumble share/applications/yuletumble.desktop \
         share/metainfo/yuletumble.metainfo.xml share/icons/hicolor/256x256/apps/yuletumble.png \
         share/yuletumble/data/font.bmp share/yuletumble/data/background.mp3 share/man/man6/yuletumble.6.gz \
         share/doc/yuletumble/copyright share/doc/yuletumble/changelog.gz; do
  [ -e "$prefix/$f" ] || fail "missing $f"
done
desktop-file-validate "$prefix/share/applications/yuletumble.desktop" || fail "desktop entry"
launcher=$(sed -n 's/^Exec=//p' "$prefix/share/applications/yuletumble.desktop")
[ "$launcher" = "$prefix/games/yuletumble" ] && [ -x "$launcher" ] || fail "desktop entry runs $launcher"
appstreamcli validate --no-net "$prefix/share/metainfo/yuletumble.metainfo.xml" >/dev/null || fail "AppStream metadata"

# A new user starts the game from anywhere; a windowed game.cfg waits (Xvfb has no window manager for full screen).
dir=$home/.local/share/yuletumble
mkdir -p "$dir" && printf '%s' "0 0 1 1" > "$dir/game.cfg"
(cd "$work/elsewhere" && HOME=$home XDG_DATA_HOME= SDL_AUDIODRIVER=dummy exec "$launcher" >/dev/null 2>&1) &
game=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Yuletumble$' | head -1) || fail "no game window"
# The launcher's defaults: frames at the display's refresh rate, the window twice 640 x 480.
grep -qxz SDL12COMPAT_SYNC_TO_VBLANK=1 "/proc/$game/environ" && grep -qxz SDL12COMPAT_WINDOW_SCALING=2 \
  "/proc/$game/environ" && xdotool getwindowgeometry "$window" | grep -q ' 1280x960' || fail "the desktop's defaults"
xdotool windowfocus --sync "$window" || true
# Intro skipped, farewell screen, any key: from any screen, again until the game has quit (a slow build starts late).
for _ in $(seq 60); do
  kill -0 "$game" 2>/dev/null && { xdotool key --delay 150 space Escape q 2>/dev/null; sleep 1; } || break
done
if kill -0 "$game" 2>/dev/null; then fail "the game did not quit"; fi
wait "$game" || fail "the game exited with status $?"; game=""

[ "$(readlink "$dir/data")" = "$prefix/share/yuletumble/data" ] || fail "no data link in $dir"
[ "$(cat "$dir/game.cfg")" = "0 0 1 1" ] || fail "game.cfg: $(cat "$dir/game.cfg" 2>/dev/null)"
[ "$(head -2 "$dir/highscore.lst" | tr '\n' ' ')" = "stone 100 " ] || fail "highscore.lst"
[ ! -e "$work/elsewhere/game.cfg" ] || fail "game.cfg written where the launcher was started"

# The package: the game under /usr, its libraries as dependencies, no error or warning from lintian, hardened.
cmake -DYT_PACKAGE_MAINTAINER="Yuletumble Packager <packager@example.org>" "$build" >/dev/null
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null) || fail "cpack"
deb=$(ls "$work"/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
# sdl12-compat's SDL 1.2 (the classic one, if named at all, only as an alternative to it).
for lib in libsdl1.2-compat-shim libmpg123 libglu libopengl; do [[ "$depends" == *"$lib"* ]] || fail "$depends"; done
! grep -Eq '(^|, )libsdl1\.2debian[^,|]*(,|$)' <<<"$depends" || fail "depends on the classic SDL: $depends"
[ "$(dpkg-deb -c "$deb" | grep -Ec '\./usr/(games|libexec/yuletumble)/yuletumble$')" = 2 ] || fail "contents"
report=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || fail "lintian: $report"
# Debian's hardening but in a sanitizer build: lintian's info tags; readelf: PIE, RELRO, BIND_NOW, fortify, SSP.
if [ -z "$(sed -n 's/^YT_SANITIZE:STRING=//p' "$build/CMakeCache.txt")" ]; then
  ! grep -q ' hardening-' <<<"$report" || fail "lintian: $report"
  elf=$(readelf -W --file-header --dynamic --program-headers --dyn-syms "$prefix/libexec/yuletumble/yuletumble")
  for want in 'Type: +DYN' 'FLAGS_1\).*PIE' 'FLAGS_1\).*NOW' 'GNU_RELRO' '__[a-z]+_chk@' '__stack_chk_fail@'; do
    grep -Eq "$want" <<<"$elf" || fail "the game is not hardened: readelf shows no $want"
  done
fi
# A player's own values win over the launcher's: the game, a stand-in now, prints what it was given.
printf '#!/bin/sh\nenv\n' >"$prefix/libexec/yuletumble/yuletumble"
[ "$(HOME=$home SDL12COMPAT_SYNC_TO_VBLANK=0 SDL12COMPAT_WINDOW_SCALING=1.5 "$launcher" | grep -cx \
  'SDL12COMPAT_SYNC_TO_VBLANK=0\|SDL12COMPAT_WINDOW_SCALING=1.5')" = 2 ] || fail "the player's values are lost"
echo "install test passed"
