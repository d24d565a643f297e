#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the images, tunes and icon in the tree are exactly what the generator in tools/
# makes: builds it (any warning fails), regenerates everything into a temporary directory and
# compares file by file. Names every file that differs, is not generated or is generated but absent.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! log=$(bash scripts/make-assets.sh --into "$out" 2>&1); then
  printf '%s\n' "$log" >&2
  echo "Asset check: the generator did not build or run." >&2
  exit 1
fi
mapfile -t files < <({ (cd "$out" && find . -type f -printf '%P\n'); printf '%s\n' data/*.bmp data/*.mp3 \
  packaging/yuletumble.png; } | sort -u)
differ=()
for f in "${files[@]}"; do cmp -s "$out/$f" "$f" || differ+=("$f"); done
if [ ${#differ[@]} -gt 0 ]; then
  echo "Asset check: generated files differ from the tree: ${differ[*]}" >&2
  exit 1
fi
echo "Asset check: all ${#files[@]} generated files match the tree."
