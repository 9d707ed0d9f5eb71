#!/usr/bin/env bash
# test.sh -- installs what is missing, builds and runs every test, then the tests again under the
# address and undefined-behaviour sanitizers (build-asan/) and the threaded tests under the
# thread sanitizer (build-tsan/). Exits non-zero when any build or test fails.
set -uo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh test || exit 1

JOBS=${JOBS:-$(nproc)}   # JOBS=4 ./test.sh on a shared machine
failed_steps=()
total_passed=0
total_failed=0

# run_ctest <build folder> [ctest arguments...]: runs ctest, keeps its summary, adds up counts.
run_ctest() {
  local dir=$1
  shift
  local log
  log=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS" --timeout 600 "$@" 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  local summary
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [[ $summary =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    total_failed=$((total_failed + BASH_REMATCH[1]))
    total_passed=$((total_passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
  rm -f "$log"
  if [ "$status" -ne 0 ] || [ -z "$summary" ]; then failed_steps+=("tests in $dir"); fi
}

# build <build folder> <target or ""> [cmake options...]: configures and builds.
build() {
  local dir=$1 target=$2
  shift 2
  echo "=== test.sh: building $dir $*"
  if ! cmake -S . -B "$dir" -G Ninja "$@"; then
    failed_steps+=("configure $dir")
    return 1
  fi
  local targets=()
  [ -n "$target" ] && targets=(--target "$target")
  if ! cmake --build "$dir" -j"$JOBS" "${targets[@]}"; then
    failed_steps+=("build $dir")
    return 1
  fi
}

# 1. Everything: the game as play.sh builds it, the tools, the tests and the benchmarks (switched
#    on here, as play.sh leaves them off in the same folder).
if build build "" -DFLYINGFISH_TESTS=ON -DFLYINGFISH_BENCH=ON; then
  run_ctest build
fi

# 2. Every test again with address and undefined-behaviour checks.
if build build-asan "" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLYINGFISH_SANITIZE=ON -DFLYINGFISH_BENCH=OFF; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest build-asan
fi

# 3. The threaded tests with the thread sanitizer.
if build build-tsan test_thread -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLYINGFISH_TSAN=ON -DFLYINGFISH_BENCH=OFF; then
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_ctest build-tsan -L '^thread$'
fi

echo
if [ ${#failed_steps[@]} -ne 0 ]; then
  echo "test.sh: FAILED: ${failed_steps[*]}"
fi
echo "total: $total_passed passed, $total_failed failed"
[ ${#failed_steps[@]} -eq 0 ]
