#!/usr/bin/env bash
# Fuzzes the parsers of outside input under the address and undefined-behaviour sanitizers, each
# starting from inputs made by the project's own writers. Exits non-zero on any crash, leak, timeout
# or sanitizer report; the input that caused it is kept in build-fuzz/fuzz-artifacts/.
#
#   scripts/fuzz.sh                   every target, FUZZ_SECONDS (default 60) shared among them
#   scripts/fuzz.sh TARGET [SECONDS]  one target for SECONDS (default 60), e.g. for a long run
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

# Each target with the longest input it is given: a bank chunk and a byte before it, a few seconds
# of recording, a control sequence in the target's buffer.
declare -A longest=(
  [rex_reader_fuzzer]=8192 [chunk_fuzzer]=17601 [midi_file_fuzzer]=8192 [make_fuzzer]=16384
  [options_fuzzer]=1024 [lv2_atom_fuzzer]=8000 [drop_list_fuzzer]=4096 [chooser_answer_fuzzer]=4096
)
targets=(rex_reader_fuzzer chunk_fuzzer midi_file_fuzzer make_fuzzer options_fuzzer lv2_atom_fuzzer
         drop_list_fuzzer chooser_answer_fuzzer)

if [ $# -ge 1 ]; then
  [ -n "${longest[$1]:-}" ] || { echo "fuzz: no target $1 (the targets: ${targets[*]})" >&2; exit 2; }
  targets=("$1")
  seconds=${2:-60}
else
  seconds=$(( ${FUZZ_SECONDS:-60} / ${#targets[@]} ))
fi

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBREVATONE_FUZZ=ON -DBREVATONE_TOOLS=ON -DBREVATONE_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}" fuzz_seeds | tail -n 1

# The targets write their inputs to files; in memory that goes twenty times as fast as on disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then work=$(mktemp -d -p /dev/shm); else work=$(mktemp -d); fi
trap 'rm -rf "$work"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

for target in "${targets[@]}"; do
  mkdir "$work/$target"
  TMPDIR="$work" "$build/bin/fuzz_seeds" "$target" "$work/$target"
  status=0
  TMPDIR="$work" "$build/bin/$target" "$work/$target" \
    -max_total_time="$seconds" -max_len="${longest[$target]}" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/$target-" -print_final_stats=1 >"$work/$target.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:' "$work/$target.log"; then
    tail -n 60 "$work/$target.log" >&2
    echo "fuzz: $target failed under the fuzzer (exit $status); reproducer in $artifacts" >&2
    exit 1
  fi
  runs=$(grep -E '^stat::number_of_executed_units' "$work/$target.log" | awk '{print $2}')
  coverage=$(grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE)' "$work/$target.log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
  echo "fuzz: ${seconds}s on $target, $runs runs, $coverage, no crash, leak or sanitizer report"
done
