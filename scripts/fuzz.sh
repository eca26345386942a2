#!/usr/bin/env bash
# Fuzzes the loop file reader for a bounded time (FUZZ_SECONDS, default 60) under the address and
# undefined-behaviour sanitizers, starting from loops made by the project's own writer. Exits non-zero
# on any crash, leak, timeout or sanitizer report; the input that caused it is kept in build-fuzz/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-60}

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBREVATONE_FUZZ=ON -DBREVATONE_TOOLS=OFF -DBREVATONE_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target rex_reader_fuzzer rex_fuzz_seeds | tail -n 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
"$build/bin/rex_fuzz_seeds" "$work/corpus"
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

status=0
TMPDIR="$work" "$build/bin/rex_reader_fuzzer" "$work/corpus" \
  -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$artifacts/" -print_final_stats=1 >"$work/fuzz.log" 2>&1 || status=$?

if [ "$status" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:' "$work/fuzz.log"; then
  tail -n 60 "$work/fuzz.log" >&2
  echo "fuzz: the loop file reader failed under the fuzzer (exit $status); reproducer in $artifacts" >&2
  exit 1
fi
grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$work/fuzz.log" | tail -n 2
echo "fuzz: ${seconds}s on the loop file reader, no crash, leak or sanitizer report"
