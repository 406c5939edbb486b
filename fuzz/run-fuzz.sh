#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a
# bounded time, seeded with the GIF corpus. Exits non-zero when a target finds
# a crash, a sanitizer error or a difference between the decoders.
#
#   fuzz/run-fuzz.sh [SECONDS]          default 60 seconds per target
#
# Environment: KELPO_SHARED_DIR (default ../shared beside the source tree),
# JOBS (build jobs, default 2). Findings are kept in build-fuzz/findings/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shared=${KELPO_SHARED_DIR:-$root/../shared}
tree=$root/build-fuzz
jobs=${JOBS:-2}

command -v clang++ >/dev/null || { echo "run-fuzz: clang++ is not installed" >&2; exit 2; }
if [ ! -f "$tree/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELPO_FUZZ=ON \
    -DKELPO_SHARED_DIR="$shared" >/dev/null
fi
cmake --build "$tree" -j "$jobs" --target lzw_equivalence_fuzz gif_decoder_fuzz

# Seeds: the corpus files (read-only there) copied into a scratch folder the fuzzer may add to.
seeds=$tree/seeds
rm -rf "$seeds"
mkdir -p "$seeds" "$tree/findings"
if [ -d "$shared/corpus/gif" ]; then
  find "$shared/corpus/gif" -name '*.gif' -size -256k -exec cp {} "$seeds/" \;
else
  echo "run-fuzz: no corpus at $shared/corpus/gif; starting without seeds" >&2
fi

status=0
for target in lzw_equivalence_fuzz gif_decoder_fuzz; do
  echo "== $target: $seconds s"
  corpus=$tree/corpus-$target
  mkdir -p "$corpus"
  if ! "$tree/$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 -timeout=30 \
      -artifact_prefix="$tree/findings/$target-" -print_final_stats=1 "$corpus" "$seeds" 2>"$tree/$target.log"; then
    echo "run-fuzz: $target failed; see $tree/$target.log and $tree/findings/" >&2
    tail -n 30 "$tree/$target.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$tree/$target.log" || true
  fi
done
exit $status
