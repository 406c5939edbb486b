#!/usr/bin/env bash
# Builds and runs Kelpo's test stages and prints one summary over all of them.
#
#   tools/run-tests.sh [STAGE...]      stages: format native asan tsan win fuzz (default: all six)
#
#   format               clang-format --dry-run --Werror on the tracked C++ files
#   native  build/       portable core on the simulated platform, ctest
#   asan    build-asan/  the same with AddressSanitizer and UBSan, ctest
#   tsan    build-tsan/  the threaded animation timer's tests with ThreadSanitizer
#   win     build-win/   kelpo.exe, Win32 tests and e2e, ctest under Wine + Xvfb
#   fuzz    build-fuzz/  libFuzzer targets from their seeds and regression files, with a fixed
#                        seed and run count so that a run repeats (fuzz/run-fuzz.sh)
#
# Environment: JOBS (default 2), CMAKE_ARGS (extra configure arguments, e.g.
# -DKELPO_SHARED_DIR=...), KELPO_TEST_SUMMARY (a file that receives the last line).
# The last line is "N passed, N failed"; a stage that does not build counts as one
# failure, and so does each file that clang-format would change. Exit status is
# nonzero when anything failed.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1

jobs=${JOBS:-2}
read -r -a cmake_args <<<"${CMAKE_ARGS:-}"
# The outer make's job flags are not meant for the builds below.
unset MAKEFLAGS MFLAGS MAKELEVEL

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(format native asan tsan win fuzz)
for stage in "${stages[@]}"; do
  case $stage in
    format | native | asan | tsan | win | fuzz) ;;
    *) echo "run-tests: unknown stage '$stage' (format, native, asan, tsan, win, fuzz)" >&2; exit 2 ;;
  esac
done

total_passed=0
total_failed=0
total_skipped=0
report=()

heading() {
  echo
  echo "======================================================================"
  echo "== $*"
  echo "======================================================================"
}

# configure TREE ARGS...: configures the tree (quick when it exists), so targets
# added since the last run are known to the build.
configure() {
  local tree=$1
  shift
  cmake -S . -B "$tree" "$@" "${cmake_args[@]}"
}

# junit_counts FILE: prints "passed failed skipped" for a ctest JUnit file. A test
# that ctest could not run (missing executable, failed discovery) is a failure; one
# skipped by its own request (SKIP_RETURN_CODE, gtest's SKIPPED) or disabled is not.
junit_counts() {
  python3 - "$1" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8", errors="replace").read()
cases = text.split("<testcase ")[1:]
if not cases and "<testsuite" not in text:
    sys.exit(1)
passed = failed = skipped = 0
for case in cases:
    status = re.search(r'status="([^"]*)"', case)
    status = status.group(1) if status else ""
    reason = re.search(r'<skipped message="([^"]*)"', case.split("</testcase>")[0])
    if status == "run":
        passed += 1
    elif status == "disabled" or (status == "notrun" and reason and reason.group(1).startswith("SKIP_")):
        skipped += 1
    else:
        failed += 1
print(passed, failed, skipped)
PY
}

# count STAGE JUNIT CTEST_STATUS: adds a ctest run's results to the totals.
count() {
  local stage=$1 junit=$2 status=$3 passed failed skipped
  if ! read -r passed failed skipped < <(junit_counts "$junit" 2>/dev/null); then
    fail_stage "$stage" "ctest wrote no results (exit code $status)"
    return
  fi
  # ctest failing with every test green (a crash, a timeout in discovery) still counts.
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1
  fi
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
  report+=("$(printf '%-7s %d ok, %d not ok, %d skipped (%d s)' "$stage" "$passed" "$failed" "$skipped" \
    $((SECONDS - stage_start)))")
}

fail_stage() {
  total_failed=$((total_failed + 1))
  report+=("$(printf '%-7s did not complete: %s (%d s)' "$1" "$2" $((SECONDS - stage_start)))")
  echo "run-tests: stage $1 did not complete: $2" >&2
}

# run_ctest STAGE TREE [PREFIX...]: runs ctest in TREE, optionally through PREFIX.
# ctest_args holds the stage's parallelism and default per-test timeout.
run_ctest() {
  local stage=$1 tree=$2 junit status
  shift 2
  junit=$root/$tree/ctest-results.xml
  rm -f "$junit"
  "$@" ctest --test-dir "$tree" --output-on-failure --no-tests=error --output-junit "$junit" "${ctest_args[@]}"
  status=$?
  count "$stage" "$junit" "$status"
}

stage_format() {
  heading "Stage format: clang-format on the tracked C++ files"
  command -v clang-format >/dev/null || { fail_stage format "clang-format is not installed"; return; }
  local files=() unformatted=() output
  mapfile -d '' files < <(git ls-files -z '*.cpp' '*.h' '*.hpp' '*.cc') ||
    { fail_stage format "git cannot list the tracked files"; return; }
  # One run over all files; each violation is reported as "FILE:LINE:COLUMN: error: ...".
  output=$(clang-format --dry-run --Werror "${files[@]}" 2>&1)
  local status=$?
  [ -z "$output" ] || echo "$output" | grep -E ': error: ' | head -n 40
  mapfile -t unformatted < <(echo "$output" | sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
  if [ "$status" -ne 0 ] && [ ${#unformatted[@]} -eq 0 ]; then
    fail_stage format "clang-format failed: $(echo "$output" | head -n 1)"
  elif [ ${#unformatted[@]} -eq 0 ]; then
    total_passed=$((total_passed + 1))
    report+=("$(printf '%-7s %d files formatted (%d s)' format ${#files[@]} $((SECONDS - stage_start)))")
  else
    total_failed=$((total_failed + ${#unformatted[@]}))
    report+=("$(printf '%-7s %d of %d files not formatted: make format (%d s)' format ${#unformatted[@]} \
      ${#files[@]} $((SECONDS - stage_start)))")
  fi
}

stage_native() {
  heading "Stage native: portable core on the simulated platform (build/)"
  configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
    cmake --build build -j "$jobs" || { fail_stage native "build failed"; return; }
  ctest_args=(-j "$jobs" --timeout 300)
  run_ctest native build
}

stage_asan() {
  heading "Stage asan: AddressSanitizer and UBSan build (build-asan/)"
  configure build-asan -DCMAKE_BUILD_TYPE=Debug -DKELPO_SANITIZE=ON -DKELPO_BENCH=OFF &&
    cmake --build build-asan -j "$jobs" || { fail_stage asan "build failed"; return; }
  ctest_args=(-j "$jobs" --timeout 600)
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    run_ctest asan build-asan
}

stage_tsan() {
  heading "Stage tsan: the threaded timer under ThreadSanitizer (build-tsan/)"
  configure build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELPO_BENCH=OFF -DCMAKE_CXX_FLAGS=-fsanitize=thread \
    -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread &&
    cmake --build build-tsan -j "$jobs" --target kelpo_thread_tests || { fail_stage tsan "build failed"; return; }
  local junit=$root/build-tsan/thread-tests.xml status
  rm -f "$junit"
  TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1} build-tsan/kelpo_thread_tests --gtest_repeat=5 \
    --gtest_output="xml:$junit"
  status=$?
  count tsan "$junit" "$status"
}

stage_win() {
  heading "Stage win: kelpo.exe, Win32 and end-to-end tests under Wine (build-win/)"
  configure build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64-posix.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
    cmake --build build-win -j "$jobs" || { fail_stage win "build failed"; return; }
  # One Wine prefix and one display for the whole run: tests go one at a time, and a
  # GUI test that waits on a window that never comes should not hold CI for long.
  ctest_args=(--timeout 120)
  # A fixed locale, so results do not depend on the developer's regional settings.
  run_ctest win build-win env -u LC_ALL -u LC_CTYPE -u LC_NUMERIC -u LC_TIME -u LC_COLLATE -u LC_MONETARY \
    -u LC_MESSAGES LANG=C.UTF-8 tools/wine-session.sh --xvfb build-win
}

stage_fuzz() {
  heading "Stage fuzz: libFuzzer targets, seed ${KELPO_FUZZ_SEED:-1}, a fixed number of runs each (build-fuzz/)"
  if fuzz/run-fuzz.sh; then
    total_passed=$((total_passed + 1))
    report+=("$(printf '%-7s fuzz targets found nothing (%d s)' fuzz $((SECONDS - stage_start)))")
  else
    fail_stage fuzz "a fuzz target failed or found a crash (see build-fuzz/findings/)"
  fi
}

start=$SECONDS
for stage in "${stages[@]}"; do
  stage_start=$SECONDS
  "stage_$stage"
done

heading "Summary ($((SECONDS - start)) s)"
printf '%s\n' "${report[@]}"
summary="$total_passed passed, $total_failed failed"
[ "$total_skipped" -eq 0 ] || summary+=", $total_skipped skipped"
echo "$summary"
if [ -n "${KELPO_TEST_SUMMARY:-}" ]; then
  echo "$summary" >"$KELPO_TEST_SUMMARY"
fi
[ "$total_failed" -eq 0 ]
