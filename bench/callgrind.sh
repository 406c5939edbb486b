#!/usr/bin/env bash
# Prints the instructions that one whole-file decode takes, counted by
# valgrind's callgrind, for each decoder (Kelpo, giflib with Kelpo's output
# shape, stb_image) on each benchmark GIF.
#
#   bench/callgrind.sh [BUILD_TREE]     default: build/ beside this folder
#
# The benchmark inputs are read from the tree's KELPO_SHARED_DIR (bench/gif/).
# The decoders in gif_decode_once are compiled as the tree compiles its libraries
# (build/ is RelWithDebInfo, -O2); only the call that decodes is counted.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$root/build}
if [ ! -f "$tree/CMakeCache.txt" ]; then
  echo "callgrind.sh: $tree is not a configured build tree" >&2
  exit 2
fi
command -v valgrind >/dev/null || { echo "callgrind.sh: valgrind is not installed" >&2; exit 2; }
shared=$(sed -n 's/^KELPO_SHARED_DIR:PATH=//p' "$tree/CMakeCache.txt")
cmake --build "$tree" --target gif_decode_once >/dev/null

out=$(mktemp)
trap 'rm -f "$out"' EXIT
printf '%-26s %14s %14s %14s\n' file kelpo giflib stb_image
for file in banner_468x60_128f.gif still_220x170_128c.gif photo_1920x1080.gif; do
  counts=()
  for decoder in kelpo giflib stb; do
    valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect=DecodeOnce \
      "$tree/gif_decode_once" "$decoder" "$shared/bench/gif/$file" >/dev/null 2>&1
    counts+=("$(awk '/^(summary|totals):/ { print $2; exit }' "$out")")
  done
  printf '%-26s %14s %14s %14s\n' "$file" "${counts[@]}"
done
