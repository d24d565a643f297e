#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang under AddressSanitizer and UBSan (the preset fuzz)
# and runs each for a bounded time with a fixed seed over the corpus kept in tests/fuzz/corpus.
# New inputs found go to build-fuzz/corpus, never into the repository. FUZZ_SECONDS sets the time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${FUZZ_SECONDS:-20}
dir="$root/build-fuzz"
targets=(highscore settings)

echo "=== fuzz ==="
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Both run at once, one a core; each log is shown when it is done.
fuzz() {
  local t=$1
  rm -rf "$dir/artifacts/$t"
  mkdir -p "$dir/corpus/$t" "$dir/artifacts/$t"
  "$dir/tests/fuzz/fuzz_$t" -seed=1 -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/$t/" "$dir/corpus/$t" "$root/tests/fuzz/corpus/$t" >"$dir/fuzz_$t.log" 2>&1
}
pids=()
for t in "${targets[@]}"; do fuzz "$t" & pids+=($!); done
failed=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  wait "${pids[$i]}" || failed=1
  echo "--- fuzz_$t (${seconds}s) ---"
  tail -n 15 "$dir/fuzz_$t.log"
  # A crash fails the run and leaves an artifact behind.
  if [ -n "$(ls -A "$dir/artifacts/$t")" ]; then
    echo "fuzz_$t failed: see $dir/artifacts/$t" >&2
    failed=1
  fi
done
[ "$failed" -eq 0 ] || exit 1
echo "Fuzzers passed."
