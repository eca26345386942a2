#!/usr/bin/env bash
# Checks the code format, builds everything and runs every check: the native suite, the same
# suite under Address and UndefinedBehavior sanitizers, the threaded tests under ThreadSanitizer,
# the 32-bit and 64-bit Windows DLLs under Wine, and a bounded fuzz run of every parser of outside input.
# Installs what it needs first.
#
# scripts/test.sh --quick [AREA]: the short loop after an edit. Builds the native tree where it
# stands, runs its tests (only those labelled AREA, a folder under tests/, when given) and checks
# the format of the C++ files changed since the last commit.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

quick=false
quick_area=""
if [ "${1:-}" = "--quick" ]; then
  quick=true
  quick_area=${2:-}
fi

$quick || bash scripts/setup.sh

# ccache, when the machine has it. Paths below the tree's root count as relative, so a clone in
# another folder hits what this one cached; the precompiled test header needs the sloppiness.
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

jobs=$(nproc)
passed=0
failed=0
log_dir=$(mktemp -d)
ctest_launcher=()
background=()
trap 'for pid in ${background[@]+"${background[@]}"}; do kill "$pid" 2>/dev/null || true; done; rm -rf "$log_dir"' EXIT

# Runs ctest in a build folder and adds its counts to the totals; the stage's own summary line stays visible.
# A stage may set ctest_launcher to a command that runs ctest (the Wine stage runs it on a display).
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
  # What the failing programs printed, since the stage's log goes with the run.
  if [ "$failures" -gt 0 ]; then grep -vE "Test +#[0-9]+: .* Passed" "$log" | tail -n 80; fi
}

configure() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >"$log_dir/configure-$(basename "$dir").log" ||
    { cat "$log_dir/configure-$(basename "$dir").log"; exit 1; }
}

if $quick; then
  echo "== code format of the changed files"
  mapfile -t changed < <(git diff --name-only HEAD -- '*.h' '*.cpp'; git ls-files --others --exclude-standard -- '*.h' '*.cpp')
  if [ ${#changed[@]} -eq 0 ] || bash scripts/check-format.sh "${changed[@]}"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  echo "== native build"
  [ -f build/build.ninja ] || configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build -j"$jobs"
  run_ctest native --test-dir build ${quick_area:+-L "^${quick_area}\$"}
  echo
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
fi

# One code style: every C++ file as the tree's .clang-format lays it out.
echo "== code format"
if bash scripts/check-format.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

echo "== native build"
configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
run_ctest native --test-dir build
# The panel as the software platform draws it, for the README.
if [ -f build/panel.ppm ]; then convert build/panel.ppm build/panel.png; fi

# The sanitizer build uses clang, so both compilers see every file with warnings as errors.
echo "== address and undefined-behaviour sanitizers (clang)"
configure build-asan -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DBREVATONE_SANITIZE=address,undefined -DBREVATONE_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest sanitizers --test-dir build-asan

echo "== thread sanitizer (threaded tests)"
configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DBREVATONE_SANITIZE=thread -DBREVATONE_BENCH=OFF -DBREVATONE_TOOLS=OFF
# Only the programs it runs: the threaded tests live in the *_concurrency_tests programs.
mapfile -t tsan_targets < <(cmake --build build-tsan --target help | grep -oE '^[a-z_]+_concurrency_tests' | sort -u)
cmake --build build-tsan -j"$jobs" --target "${tsan_targets[@]}"
TSAN_OPTIONS=halt_on_error=1 run_ctest threads --test-dir build-tsan -R Concurrent

# Whether two WAV files have the same length and agree within 1e-6 on every sample.
same_audio() {
  [ "$(soxi -s "$1")" = "$(soxi -s "$2")" ] || return 1
  sox -m -v 1 "$1" -v -1 "$2" -n stat 2>&1 |
    awk '/^(Maximum|Minimum) amplitude/ { if ($3 > 1e-6 || $3 < -1e-6) bad = 1 } END { exit bad }'
}

# Runs one check and counts it; only its last line is shown unless it fails.
run_step() {
  local name=$1; shift
  if "$@" >"$log_dir/$name.log" 2>&1; then
    echo "$name: passed $(tail -n 1 "$log_dir/$name.log")"
    passed=$((passed + 1))
  else
    cat "$log_dir/$name.log"
    echo "$name: failed" >&2
    failed=$((failed + 1))
  fi
}

# The Wine loader that a toolchain file names for its width.
wine_loader() { sed -n 's/^set(BREVATONE_WINE \(.*\))$/\1/p' "$root/cmake/toolchain-mingw-$1.cmake"; }

echo "== the Linux panel pressed with real X input"
run_step panel-driver-native bash scripts/panel-driver.sh build

echo "== the LV2 bundle in real hosts"
run_step lv2-jalv bash scripts/lv2-jalv-test.sh build
if command -v ardour7-lua >/dev/null; then run_step lv2-ardour bash scripts/lv2-ardour-test.sh build; fi

echo "== the LV2 panel in jalv.gtk3, pressed with real X input"
run_step jalv-panel bash scripts/jalv-panel.sh build

echo "== the demo groove, rendered natively for the Windows builds to match"
run_step demo-native env OUT_DIR="$log_dir/demo-native" bash scripts/demo.sh

# The same sources as a 32-bit and a 64-bit DLL. Each toolchain file names the Wine loader for its
# width, and ctest runs every Windows test program through it, so a new test program needs no
# line here. One 64-bit prefix serves both: its WoW64 half runs the 32-bit programs.
WINEPREFIX=$(mktemp -d)
# Quiet, and without the offer to install Mono or Gecko. The window tests open real windows and
# message boxes need a display, so the Wine stages run on a virtual one, where the prefix is made
# too (see wine-display.sh).
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
BREVATONE_WINE_LOADER="$(wine_loader x86_64)"
export BREVATONE_WINE_LOADER
ctest_launcher=(bash scripts/wine-display.sh)
windows_builds=("build-win i686" "build-win64 x86_64")
for entry in "${windows_builds[@]}"; do
  read -r dir arch <<<"$entry"
  configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$arch.cmake" -DBREVATONE_BENCH=OFF
done
# The Windows test programs mostly wait on windows and dialogs, so the 64-bit tree builds and the
# fuzzer runs while the 32-bit programs do, at the lowest priority so that the programs driven
# by real input keep their pace; each is waited for where its results are needed.
cmake --build build-win -j"$jobs"
nice -n 19 cmake --build build-win64 -j"$jobs" >"$log_dir/build-win64.log" 2>&1 &
win64_build=$!
background+=("$win64_build")
if [ -x scripts/fuzz.sh ]; then
  nice -n 19 bash scripts/fuzz.sh >"$log_dir/fuzz.log" 2>&1 &
  fuzz_run=$!
  background+=("$fuzz_run")
fi
for entry in "${windows_builds[@]}"; do
  read -r dir arch <<<"$entry"
  echo "== Windows DLL, $arch"
  if [ "$dir" = build-win64 ] && ! wait "$win64_build"; then
    cat "$log_dir/build-win64.log"
    exit 1
  fi
  run_step "check-dll-$arch" bash scripts/check-dll.sh "$dir/bin/brevatone.dll"
  run_ctest "wine-$arch" --test-dir "$dir"
  echo "== the demo groove through the $arch DLL, against the native render"
  run_step "demo-$arch" env OUT_DIR="$log_dir/demo-$arch" RENDER="$(wine_loader "$arch") $dir/bin/brevatone-render.exe" \
    bash scripts/demo.sh
  run_step "demo-$arch-matches" same_audio "$log_dir/demo-native/demo.wav" "$log_dir/demo-$arch/demo.wav"
  echo "== the $arch panel pressed with real X input"
  run_step "panel-driver-$arch" env PANEL_DRIVER_WINE="$(wine_loader "$arch")" bash scripts/panel-driver.sh "$dir"
done
ctest_launcher=()
# The prefix's server writes its registry files as it exits.
wineserver -w
rm -rf "$WINEPREFIX"

if [ -n "${fuzz_run:-}" ]; then
  echo "== fuzzing every parser of outside input"
  if wait "$fuzz_run"; then
    grep '^fuzz:' "$log_dir/fuzz.log"
    passed=$((passed + 1))
  else
    cat "$log_dir/fuzz.log"
    failed=$((failed + 1))
  fi
fi

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
