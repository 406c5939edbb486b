#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs them.
#
#   fuzz/run-fuzz.sh                    the repeatable run of CI: a fixed seed and run count
#   fuzz/run-fuzz.sh --explore SECONDS  a search of SECONDS per target with a random seed,
#                                       growing build-fuzz/corpus-TARGET/ from run to run
#
# Targets and the inputs they start from:
#   lzw_equivalence_fuzz, gif_decoder_fuzz   the GIF corpus, tests/gif/regress/lzw/ and gif/
#   text_forms_fuzz                           texts of each kind under each regional set (written
#                                             below), tests/settings/regress/text-forms/
#   settings_file_fuzz                        settings files as the program writes them (below),
#                                             tests/settings/regress/settings-file/
#   layout_fuzz                               the program's layouts (ui/layouts/),
#                                             tests/framework/regress/layout/
# The repeatable run works on a fresh copy of them, so the same tree runs the
# same inputs every time. Exits non-zero when a target finds a crash, a
# sanitizer error or a broken rule (tests/gif/FuzzChecks.h,
# tests/settings/FuzzChecks.h, tests/framework/LayoutFuzzChecks.h).
#
# A finding is kept in build-fuzz/findings/. To keep it as a regression test,
# make it small (build-fuzz/TARGET -minimize_crash=1 -runs=10000 FILE) and copy
# it into the target's regression folder under a name that says what is wrong
# with it; for tests/gif/regress/gif/ add its line to tests/gif/regress/MANIFEST.txt.
# kelpo_tests runs every regression file through its target's check.
#
# Environment: KELPO_SHARED_DIR (default ../shared beside the source tree),
# KELPO_FUZZ_SEED (default 1), KELPO_FUZZ_RUNS_GIF (default 40000),
# KELPO_FUZZ_RUNS_LZW (default 10000), KELPO_FUZZ_RUNS_TEXT (default 40000),
# KELPO_FUZZ_RUNS_SETTINGS (default 3000), KELPO_FUZZ_RUNS_LAYOUT (default 4000),
# JOBS (build jobs, default 2).
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
targets=(lzw_equivalence_fuzz gif_decoder_fuzz text_forms_fuzz settings_file_fuzz layout_fuzz)
cmake --build "$tree" -j "$jobs" --target "${targets[@]}"

# Seeds: the corpus files (read-only there) under names that sort the same way everywhere.
seeds=$tree/seeds
rm -rf "$seeds" "$tree"/seeds-*
mkdir -p "$seeds" "$tree/findings"
if [ -d "$shared/corpus/gif" ]; then
  (cd "$shared/corpus/gif" && find . -name '*.gif' -size -256k | LC_ALL=C sort) | while read -r file; do
    cp "$shared/corpus/gif/$file" "$seeds/$(echo "${file#./}" | tr / _)"
  done
else
  echo "run-fuzz: no corpus at $shared/corpus/gif; starting from the regression files alone" >&2
fi

# The text forms' seeds: for each regional set (byte 0) the year 2026 (byte 1),
# a value (bytes 2..9) and a text the program writes or a user types.
mkdir -p "$tree/seeds-text_forms_fuzz"
n=0
for region in 00 01 02 03 04 05 06 07 08 09 0a 0b; do
  for text in 3 -17 0x1F '$ff' 2.5 2,5 1E-5 12/4/2026 04.12.2026 '2026. 12. 04.' '4. 12. 2026' 2026-12-04 \
    '9:30:00 PM' 21:30:00 '9:30 pm' 12:00:00.5; do
    printf "\\x$region\\x3f\\x01\\x23\\x45\\x67\\x89\\xab\\xcd\\xef%s" "$text" >"$tree/seeds-text_forms_fuzz/$(printf %03d $n)"
    n=$((n + 1))
  done
done

# The settings file's seeds: files as the program writes them under two regions,
# one with other sections and lines around the schedule, one with odd line ends.
mkdir -p "$tree/seeds-settings_file_fuzz"
printf '[Scheduler]\r\nSchID=3\r\nSchFrequency=2\r\nTime=9:30:00 PM\r\nDay=Friday\r\nDateLastRun=12/4/2026\r\n' \
  >"$tree/seeds-settings_file_fuzz/united-states.ini"
printf '[Scheduler]\r\nSchID=3\r\nSchFrequency=2\r\nTime=21:30:00\r\nDay=Friday\r\nDateLastRun=04.12.2026\r\n' \
  >"$tree/seeds-settings_file_fuzz/german.ini"
printf '; kept\n[Other]\nX=1\n[ scheduler ]\n  schid = 0x3 \nDay=\nnote\n[Third]\nT="quoted"\n' \
  >"$tree/seeds-settings_file_fuzz/other-sections.ini"
printf '\xef\xbb\xbf[Scheduler]\rSchID=1\n\r\nTime=\x1a21:30\r[]\nk=v' >"$tree/seeds-settings_file_fuzz/line-ends.ini"

# The layouts' seeds: the program's own.
mkdir -p "$tree/seeds-layout_fuzz"
cp "$root"/ui/layouts/*.layout "$tree/seeds-layout_fuzz/"

# The repeatable run turns address space randomisation off where it can: the
# decoders take paths by buffer alignment, so the coverage, and with it the
# inputs libFuzzer keeps, would otherwise differ from run to run.
fixed=()
if [ $explore -eq 0 ] && setarch "$(uname -m)" -R true 2>/dev/null; then
  fixed=(setarch "$(uname -m)" -R)
fi

status=0
for target in "${targets[@]}"; do
  case $target in
    lzw_equivalence_fuzz) regress=$root/tests/gif/regress/lzw runs=${KELPO_FUZZ_RUNS_LZW:-10000} from=$seeds ;;
    gif_decoder_fuzz) regress=$root/tests/gif/regress/gif runs=${KELPO_FUZZ_RUNS_GIF:-40000} from=$seeds ;;
    text_forms_fuzz) regress=$root/tests/settings/regress/text-forms runs=${KELPO_FUZZ_RUNS_TEXT:-40000} ;;
    settings_file_fuzz) regress=$root/tests/settings/regress/settings-file runs=${KELPO_FUZZ_RUNS_SETTINGS:-3000} ;;
    layout_fuzz) regress=$root/tests/framework/regress/layout runs=${KELPO_FUZZ_RUNS_LAYOUT:-4000} ;;
  esac
  case $target in
    text_forms_fuzz | settings_file_fuzz | layout_fuzz) from=$tree/seeds-$target ;;
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
      -artifact_prefix="$tree/findings/$target-" -print_final_stats=1 "$corpus" "$regress" "$from" \
      2>"$tree/$target.log"; then
    echo "run-fuzz: $target failed; see $tree/$target.log and $tree/findings/" >&2
    tail -n 30 "$tree/$target.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$tree/$target.log" || true
  fi
done
exit $status
