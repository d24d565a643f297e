#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Compares the frame cost of the working tree with that of a commit, on this machine. The ratio of
# a screen to the bare frame differs from one machine to the next, so a change is judged only
# against the build before it, measured alternately on the same machine:
#   bash bench/compare.sh COMMIT [RUNS]        # RUNS of each build, default 5
# Builds the commit (its files from git archive, in build-compare/<commit>/) and the working tree
# (in build-compare/work/), both RelWithDebInfo with only the benchmark, starts its own Xvfb ahead
# of other processes (nice -15, where allowed), then runs the two benchmarks in turn: before, after,
# before, after, ... Each run dumps its last frames; its table and dump stay in
# build-compare/runs/. Prints for every screen the median ratio to the bare frame before and after,
# the change (the median over the pairs of after / before - 1) and its spread (the largest distance
# of one pair's change from that median), then whether each pair's pictures are identical
# (yt_frame_compare with no tolerance). Then it starts the two games in turn, each right after a
# bare SDL OpenGL window (yt_start_bench, RUNS rounds): the time from exec to the first frame, above
# the bare window's, and the processor time and memory idling on the main menu, before and after,
# and the change round by round; its runs stay in build-compare/runs/start.txt. Exits 1 if any
# picture differs, 2 if a build or a benchmark fails. The benchmarks' variables (YT_BENCH_SCREENS,
# YT_START_IDLE, ...) reach both builds; YT_START_RUNS sets the start-up rounds apart from RUNS (0
# leaves them out). See docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
usage="usage: bash bench/compare.sh COMMIT [RUNS]"
runs=${2:-5}
start_runs=${YT_START_RUNS:-$runs}
[ $# -ge 1 ] && [[ $runs =~ ^[1-9][0-9]*$ ]] && [[ $start_runs =~ ^[0-9]+$ ]] || { echo "$usage" >&2; exit 2; }
commit=$(git rev-parse --verify --quiet "$1^{commit}") || { echo "No commit $1" >&2; exit 2; }
out=$root/build-compare
before=$out/${commit:0:12}
after=$out/work

# The benchmark only (and the picture comparison), optimised with debug information, as measured in
# docs/performance.md; the output goes to a log beside the build. A commit's files keep its commit
# time, so its build is reused when it is asked for again.
build() {
  mkdir -p "$2"
  { cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYT_BUILD_TESTS=OFF &&
    cmake --build "$2" --target "${@:3}"; } >"$2.log" 2>&1 ||
    { tail -n 20 "$2.log" >&2; echo "Cannot build $1: see $2.log" >&2; exit 2; }
}
if [ ! -d "$before/src" ]; then
  rm -rf "$before/src.new" && mkdir -p "$before/src.new"
  git archive "$commit" | tar -x -C "$before/src.new"
  mv "$before/src.new" "$before/src"
fi
echo "Building ${commit:0:12} and the working tree"
build "$before/src" "$before/build" yt_frame_bench yuletumble
build "$root" "$after/build" yt_frame_bench yt_frame_compare yt_start_bench

work=$(mktemp -d)
nice -n -15 Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -s 0 -dpms -noreset >"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")" LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy

rm -rf "$out/runs"
load_start=$(cut -d' ' -f1-3 /proc/loadavg)
for i in $(seq "$runs"); do
  for side in before after; do
    dir=$out/runs/$side-$i
    mkdir -p "$dir"
    [ $side = before ] && build_dir=$before/build || build_dir=$after/build
    echo "Run $i of $runs: $side"
    # Exit 1 is a screen that allocates in its frames: reported, the figures still stand.
    status=0
    YT_BENCH_DUMP=$dir "$build_dir/bench/yt_frame_bench" >"$dir/table.txt" 2>&1 || status=$?
    [ $status -le 1 ] || { cat "$dir/table.txt" >&2; echo "The $side benchmark failed ($status)" >&2; exit 2; }
    [ $status -eq 0 ] || echo "  $side allocates in a frame: see $dir/table.txt"
  done
done
echo "Load average (1, 5, 15 min) at the start: $load_start; at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
grep -h 'not run ahead' "$out"/runs/*/table.txt | sort -u || true

# The tables: "screen name  ratio  q1 - q3  median-ms  allocs", the name in several words.
echo
awk -v runs="$runs" '
  function sorted_median(a, n,   i, j, t) {
    for (i = 2; i <= n; ++i) for (j = i; j > 1 && a[j - 1] > a[j]; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  function max(x, y) { return x > y ? x : y }
  function median_of(side, name,   a, i) {
    for (i = 1; i <= runs; ++i) a[i] = ratio[side, name, i]
    return sorted_median(a, runs)
  }
  FNR == 1 { n = split(FILENAME, path, "/"); split(path[n - 1], p, "-") }  # runs/before-3/table.txt
  NF >= 7 && $(NF - 3) == "-" && $(NF - 5) ~ /^[0-9.]+$/ {
    name = $1
    for (f = 2; f <= NF - 6; ++f) name = name " " $f
    if (!(name in seen)) { seen[name] = 1; order[++screens] = name }
    ratio[p[1], name, p[2]] = $(NF - 5) + 0
    if (name == "bare frame") ms[p[1], p[2]] = $(NF - 1) + 0
  }
  END {
    printf "%-34s %7s %7s %9s %8s\n", "screen: x bare (median)", "before", "after", "change", "spread"
    for (s = 1; s <= screens; ++s) {
      name = order[s]
      complete = 1
      for (i = 1; i <= runs; ++i) {
        complete = complete && ((("before", name, i) in ratio) && (("after", name, i) in ratio))
        if (complete) change[i] = 100 * (ratio["after", name, i] / ratio["before", name, i] - 1)
      }
      if (!complete) { printf "%-34s %s\n", name, "not in both builds"; continue }
      for (i = 1; i <= runs; ++i) c[i] = change[i]
      mid = sorted_median(c, runs)
      spread = 0
      for (i = 1; i <= runs; ++i) spread = max(spread, change[i] > mid ? change[i] - mid : mid - change[i])
      printf "%-34s %7.2f %7.2f %+7.1f %%  ±%4.1f %%\n", name, median_of("before", name), median_of("after", name), mid, spread
    }
    for (i = 1; i <= runs; ++i) { b[i] = ms["before", i]; a[i] = ms["after", i] }
    printf "bare frame: %.2f ms before, %.2f ms after (medians of %d runs)\n", sorted_median(b, runs), sorted_median(a, runs), runs
  }' "$out"/runs/*/table.txt

# Start-up and idling: the measurer and the bare window of the working tree start both games, each
# with the data of its own tree.
if [ "$start_runs" -gt 0 ]; then
  echo
  echo "Start-up and the main menu, $start_runs rounds"
  status=0
  "$after/build/bench/yt_start_bench" "$start_runs" before "$before/build/src/app/yuletumble" "$before/src/data" \
    after "$after/build/src/app/yuletumble" "$root/data" >"$out/runs/start.txt" 2>&1 || status=$?
  [ $status -eq 0 ] || { cat "$out/runs/start.txt" >&2; echo "The start-up benchmark failed ($status)" >&2; exit 2; }
  sed -n '/^median/,$p' "$out/runs/start.txt"
  echo "Load average (1, 5, 15 min) after the start-ups: $(cut -d' ' -f1-3 /proc/loadavg)"
fi

echo
differ=0
for i in $(seq "$runs"); do
  if "$after/build/bench/yt_frame_compare" "$out/runs/before-$i" "$out/runs/after-$i" 0 0 >"$work/compare" 2>&1; then
    echo "pictures, pair $i: identical"
  else
    echo "pictures, pair $i: DIFFER"
    cat "$work/compare"
    differ=1
  fi
done
exit $differ
