#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that scripts/run.sh asks for no root when what playing needs is there. Installs the game
# into a temporary prefix as a packager would, checks the desktop files, starts
# it as the desktop entry does, as a new user (a temporary home), leaves through the farewell
# screen and looks for the player's files in the per-user directory. Then builds the .deb with a
# packager's address (set in the build directory's cache for the time of the test) and checks its
# dependencies, its contents, lintian's verdict and the game's hardening (readelf). Needs an X
# display (the test command provides Xvfb), xdotool and lintian.
set -euo pipefail
build=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
game=""
maintainer=$(sed -n 's/^YT_PACKAGE_MAINTAINER:STRING=//p' "$build/CMakeCache.txt")
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null
  cmake -DYT_PACKAGE_MAINTAINER="$maintainer" "$build" >/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
prefix=$work/prefix
home=$work/home bin=$work/bin
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

# A new user starts the game from the menu, wherever that runs it from. The per-user directory
# already holds a windowed game.cfg (a first run would be full screen, which a virtual X server
# without a window manager handles poorly); the launcher must still link the data there.
dir=$home/.local/share/yuletumble
mkdir -p "$dir"
printf '%s' "0 0 1 1" > "$dir/game.cfg"
(cd "$work/elsewhere" && HOME=$home XDG_DATA_HOME= SDL_AUDIODRIVER=dummy exec "$launcher" >/dev/null 2>&1) &
game=$!
window=""
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --name '^Yuletumble$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no game window"
xdotool windowfocus --sync "$window" || true
# Skip the intro, go to the farewell screen, press any key; repeated until the game has quit, as a
# slow (sanitizer) build may still be starting up. From any screen this sequence ends the game.
for _ in $(seq 30); do
  kill -0 "$game" 2>/dev/null || break
  xdotool key --delay 150 space Escape q 2>/dev/null || true
  for _ in $(seq 20); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
done
if kill -0 "$game" 2>/dev/null; then fail "the game did not quit"; fi
wait "$game" || fail "the game exited with status $?"
game=""

[ "$(readlink "$dir/data")" = "$prefix/share/yuletumble/data" ] || fail "no data link in $dir"
[ "$(cat "$dir/game.cfg")" = "0 0 1 1" ] || fail "game.cfg: $(cat "$dir/game.cfg" 2>/dev/null)"
[ "$(head -2 "$dir/highscore.lst" | tr '\n' ' ')" = "stone 100 " ] || fail "highscore.lst"
[ ! -e "$work/elsewhere/game.cfg" ] || fail "game.cfg written where the launcher was started"

# The package: the same files under /usr, with the libraries it needs as dependencies, and nothing
# that lintian counts as an error or a warning, and Debian's hardening in the game.
cmake -DYT_PACKAGE_MAINTAINER="Yuletumble Packager <packager@example.org>" "$build" >/dev/null
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null) || fail "cpack"
deb=$(ls "$work"/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
# sdl12-compat's SDL 1.2 (the classic one, if named at all, only as an alternative to it).
for lib in libsdl1.2-compat-shim libmpg123 libglu libopengl; do [[ "$depends" == *"$lib"* ]] || fail "$depends"; done
! grep -Eq '(^|, )libsdl1\.2debian[^,|]*(,|$)' <<<"$depends" || fail "depends on the classic SDL: $depends"
dpkg-deb -c "$deb" > "$work/contents"
for f in games/yuletumble libexec/yuletumble/yuletumble; do
  grep -q "\./usr/$f\$" "$work/contents" || fail "package lacks /usr/$f"
done
report=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || fail "lintian: $report"
# Debian's hardening, in every build but a sanitizer build (which leaves it out on purpose):
# lintian reports a missing part as an info tag; readelf shows the rest (a position-independent
# executable, read-only relocations bound at start-up, fortified functions, the stack protector).
if [ -z "$(sed -n 's/^YT_SANITIZE:STRING=//p' "$build/CMakeCache.txt")" ]; then
  ! grep -q ' hardening-' <<<"$report" || fail "lintian: $report"
  elf=$(readelf -W --file-header --dynamic --program-headers --dyn-syms "$prefix/libexec/yuletumble/yuletumble")
  for want in 'Type: +DYN' 'FLAGS_1\).*PIE' 'FLAGS_1\).*NOW' 'GNU_RELRO' '__[a-z]+_chk@' '__stack_chk_fail@'; do
    grep -Eq "$want" <<<"$elf" || fail "the game is not hardened: readelf shows no $want"
  done
fi
echo "install test passed"
