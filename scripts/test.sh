#!/usr/bin/env bash
# Builds everything and runs every check: the native suite, the same suite under Address and
# UndefinedBehavior sanitizers, the threaded tests under ThreadSanitizer, the Windows DLL
# under Wine, and a bounded fuzz run of the loop-file reader. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh

jobs=$(nproc)
passed=0
failed=0
log_dir=$(mktemp -d)
ctest_launcher=()
trap 'rm -rf "$log_dir"' EXIT

# Runs ctest in a build folder and adds its counts to the totals; the stage's own summary line stays visible.
# A stage may set ctest_launcher to a command that runs ctest (the Wine stage runs it on a display).
ctest_launcher=()
run_ctest() {
  local stage=$1; shift
  local log="$log_dir/$stage.log"
  echo "== $stage"
  set +e
  ${ctest_launcher[@]+"${ctest_launcher[@]}"} ctest "$@" --output-on-failure -j"$jobs" 2>&1 | tee "$log" | grep -E "tests passed|FAILED|Failed|\*\*\*" || true
  set -e
  local summary
  summary=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$log" | tail -1 || true)
  if [ -z "$summary" ]; then
    echo "$stage: ctest reported no summary" >&2
    failed=$((failed + 1))
    return
  fi
  local failures total
  failures=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
  total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$summary")
  passed=$((passed + total - failures))
  failed=$((failed + failures))
}

configure() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >"$log_dir/configure-$(basename "$dir").log" ||
    { cat "$log_dir/configure-$(basename "$dir").log"; exit 1; }
}

echo "== native build"
configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
run_ctest native --test-dir build

# The sanitizer build uses clang, so both compilers see every file with warnings as errors.
echo "== address and undefined-behaviour sanitizers (clang)"
configure build-asan -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DBREVATONE_SANITIZE=address,undefined -DBREVATONE_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest sanitizers --test-dir build-asan

echo "== thread sanitizer (threaded tests)"
configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DBREVATONE_SANITIZE=thread -DBREVATONE_BENCH=OFF -DBREVATONE_TOOLS=OFF
cmake --build build-tsan -j"$jobs"
TSAN_OPTIONS=halt_on_error=1 run_ctest threads --test-dir build-tsan -R Concurrent

echo "== Windows DLL"
configure build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" -DBREVATONE_BENCH=OFF
cmake --build build-win -j"$jobs"
bash scripts/check-dll.sh build-win/bin/brevatone.dll
WINEPREFIX=$(mktemp -d)
# A throwaway prefix, quiet, and without the offer to install Mono or Gecko. The window tests
# open real windows, so the stage runs on a virtual display.
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
ctest_launcher=(bash scripts/wine-display.sh)
run_ctest wine --test-dir build-win
ctest_launcher=()
echo "== the panel pressed with real X input"
if bash scripts/panel-driver.sh build-win; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
rm -rf "$WINEPREFIX"

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing the loop-file reader"
  if bash scripts/fuzz.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
fi

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
