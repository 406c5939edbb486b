#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs them.
#
#   fuzz/run-fuzz.sh                    the repeatable run of CI: a fixed seed and run count
#   fuzz/run-fuzz.sh --explore SECONDS  a search of SECONDS per target with a random seed,
#                                       growing build-fuzz/corpus-TARGET/ from run to run
#
# Both start from the same inputs: the GIF corpus and the regression files of
# tests/gif/regress/ (gif/ for gif_decoder_fuzz, lzw/ for lzw_equivalence_fuzz).
# The repeatable run works on a fresh copy of them, so the same tree runs the
# same inputs every time. Exits non-zero when a target finds a crash, a
# sanitizer error or a broken rule (tests/gif/FuzzChecks.h).
#
# A finding is kept in build-fuzz/findings/. To keep it as a regression test,
# make it small (build-fuzz/TARGET -minimize_crash=1 -runs=10000 FILE), copy it
# into tests/gif/regress/gif/ or lzw/ under a name that says what is wrong with
# it, and for gif/ add its line to tests/gif/regress/MANIFEST.txt.
#
# Environment: KELPO_SHARED_DIR (default ../shared beside the source tree),
# KELPO_FUZZ_SEED (default 1), KELPO_FUZZ_RUNS_GIF (default 40000),
# KELPO_FUZZ_RUNS_LZW (default 10000), JOBS (build jobs, default 2).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
explore=0
seconds=0
if [ "${1:-}" = "--explore" ]; then
  explore=1
  seconds=${2:?"usage: fuzz/run-fuzz.sh --explore SECONDS"}
elif [ $# -gt 0 ]; then
  echo "usage: fuzz/run-fuzz.sh [--explore SECONDS]" >&2
  exit 2
fi
shared=${KELPO_SHARED_DIR:-$root/../shared}
tree=$root/build-fuzz
jobs=${JOBS:-2}
seed=${KELPO_FUZZ_SEED:-1}

command -v clang++ >/dev/null || { echo "run-fuzz: clang++ is not installed" >&2; exit 2; }
if [ ! -f "$tree/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELPO_FUZZ=ON \
    -DKELPO_SHARED_DIR="$shared" >/dev/null
fi
cmake --build "$tree" -j "$jobs" --target lzw_equivalence_fuzz gif_decoder_fuzz

# Seeds: the corpus files (read-only there) under names that sort the same way everywhere.
seeds=$tree/seeds
rm -rf "$seeds"
mkdir -p "$seeds" "$tree/findings"
if [ -d "$shared/corpus/gif" ]; then
  (cd "$shared/corpus/gif" && find . -name '*.gif' -size -256k | LC_ALL=C sort) | while read -r file; do
    cp "$shared/corpus/gif/$file" "$seeds/$(echo "${file#./}" | tr / _)"
  done
else
  echo "run-fuzz: no corpus at $shared/corpus/gif; starting from the regression files alone" >&2
fi

# The repeatable run turns address space randomisation off where it can: the
# decoders take paths by buffer alignment, so the coverage, and with it the
# inputs libFuzzer keeps, would otherwise differ from run to run.
fixed=()
if [ $explore -eq 0 ] && setarch "$(uname -m)" -R true 2>/dev/null; then
  fixed=(setarch "$(uname -m)" -R)
fi

status=0
for target in lzw_equivalence_fuzz gif_decoder_fuzz; do
  case $target in
    lzw_equivalence_fuzz) regress=$root/tests/gif/regress/lzw runs=${KELPO_FUZZ_RUNS_LZW:-10000} ;;
    gif_decoder_fuzz) regress=$root/tests/gif/regress/gif runs=${KELPO_FUZZ_RUNS_GIF:-40000} ;;
  esac
  if [ $explore -eq 1 ]; then
    echo "== $target: $seconds s, random seed"
    corpus=$tree/corpus-$target
    mkdir -p "$corpus"
    limits=(-max_total_time="$seconds")
  else
    echo "== $target: $runs runs, seed $seed"
    corpus=$tree/work-$target
    rm -rf "$corpus"
    mkdir -p "$corpus"
    limits=(-seed="$seed" -runs="$runs")
  fi
  if ! "${fixed[@]}" "$tree/$target" "${limits[@]}" -max_len=65536 -rss_limit_mb=4096 -timeout=30 \
      -artifact_prefix="$tree/findings/$target-" -print_final_stats=1 "$corpus" "$regress" "$seeds" \
      2>"$tree/$target.log"; then
    echo "run-fuzz: $target failed; see $tree/$target.log and $tree/findings/" >&2
    tail -n 30 "$tree/$target.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$tree/$target.log" || true
  fi
done
exit $status
