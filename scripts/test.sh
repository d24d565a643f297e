#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds and runs the whole test suite: the normal build, then AddressSanitizer + UBSan, then
# ThreadSanitizer for the threaded parts, then the fuzzers for a bounded time. Starts a virtual X
# server when there is no display, so the window, GL and end-to-end tests run anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh

# The code is kept in the house style of .clang-format.
git ls-files '*.cpp' '*.h' 2>/dev/null | xargs -r clang-format --dry-run --Werror

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

run_suite() {  # build-dir, extra cmake args..., then "--" and ctest args
  local dir=$1; shift
  local cmake_args=() ctest_args=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  ctest_args=("$@")
  echo "=== $dir ==="
  cmake -S "$root" -B "$root/$dir" -G Ninja "${cmake_args[@]}" >/dev/null
  cmake --build "$root/$dir" -j "$jobs"
  (cd "$root/$dir" && ctest --output-on-failure -j "$jobs" "${ctest_args[@]}")
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo --
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DYT_SANITIZE=address -DYT_BUILD_BENCH=OFF --
TSAN_OPTIONS=halt_on_error=1 \
  run_suite build-tsan -DCMAKE_BUILD_TYPE=Debug -DYT_SANITIZE=thread -DYT_BUILD_BENCH=OFF -- -L tsan
if [ -x scripts/fuzz.sh ]; then bash scripts/fuzz.sh; fi
echo "All test suites passed."
