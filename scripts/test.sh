#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds and runs the whole test suite: the house style and the generated data, the normal build,
# then AddressSanitizer + UBSan, then ThreadSanitizer for the threaded parts, then the fuzzers for a
# bounded time. Every build treats warnings as errors, and every test stage fails if it finds no test. Starts a virtual X
# server when there is no display, so the window, GL and end-to-end tests run anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# The code is kept in the house style of .clang-format.
git ls-files '*.cpp' '*.h' 2>/dev/null | xargs -r clang-format --dry-run --Werror
# The art and tunes in data/ are exactly what tools/ makes; this builds tools/, warnings as errors.
bash scripts/check-assets.sh

jobs=$(nproc)
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT

if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  # Xvfb picks a free display number itself and writes it to the file.
  display_file=$(mktemp)
  # No screen saver (it would blank the windows the tests read back), and no server reset when
  # the last client leaves: the tests start and end games one after another, and a game that
  # connects while the server resets loses its window.
  Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -s 0 -dpms -noreset >"$display_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -1 "$display_file")"
  rm -f "$display_file"
fi
# The window, GL and end-to-end tests skip themselves without a display; here they must run.
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "No X display could be started (Xvfb); the window tests cannot run." >&2
  exit 1
fi
# Mesa's software renderer; no sound card is needed (the tests pick SDL's dummy or disk driver).
export LIBGL_ALWAYS_SOFTWARE=1

# Each stage is a preset of CMakePresets.json: `cmake --preset X && cmake --build --preset X &&
# ctest --preset X` reproduces it.
for preset in normal asan tsan; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
if [ -x scripts/fuzz.sh ]; then bash scripts/fuzz.sh; fi
echo "All test suites passed."
