#!/usr/bin/env bash
# Instructions per output byte of each decoder, counted by callgrind (stable where timings are
# noisy): inflating a 512x512 RGBA8 image's IDAT stream and 3 MB of the mixed corpus, and
# decoding the image. Run after `./run.sh bench` has built build-bench/.
set -euo pipefail
driver="$(dirname "$0")/../build-bench/bench/callgrind_images"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
count() { # kind decoder function
    local bytes
    bytes=$(valgrind --tool=callgrind --callgrind-out-file="$work/out" --toggle-collect="$3" "$driver" "$1" "$2" 2>/dev/null)
    local ir
    ir=$(grep -E '^(summary|totals):' "$work/out" | tail -1 | awk '{print $2}')
    awk -v ir="$ir" -v b="$bytes" -v k="$1" -v d="$2" 'BEGIN { printf "%-8s %-11s %6.2f instructions per output byte\n", k, d, ir / b }'
}
for d in ours zlib libdeflate; do count inflate "$d" "*measuredInflate*"; done
for d in ours zlib libdeflate; do count mixed "$d" "*measuredInflate*"; done
for d in ours libpng libspng stb; do count png "$d" "*measuredPng*"; done
