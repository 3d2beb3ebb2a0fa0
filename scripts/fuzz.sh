#!/usr/bin/env bash
# fuzz.sh [seconds]: builds the libFuzzer targets with clang into build-fuzz/
# and runs each for the given seconds (60 by default), starting from its
# committed corpus in fuzz/corpus/. Prints the executions of each target and
# what it found; an input that breaks a property is kept in
# build-fuzz/findings/<target>/ and makes the exit status 1. New inputs that
# widen the coverage go to build-fuzz/corpus/<target>/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
# libFuzzer takes 0 as "no limit": only a positive count is accepted.
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds, at least 1]" >&2
  exit 2
fi
build=$root/build-fuzz
targets=(parse_number format_number handoff_file command_line layout)

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHALVEX_GUI=OFF -DHALVEX_FUZZ=ON >/dev/null
fi
cmake --build "$build" -j2 --target "${targets[@]/%/_fuzz}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
summary=()
found=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  findings=$build/findings/$target
  log=$build/logs/$target.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "== $target: $seconds s"
  status=0
  "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  if [ "$status" -ne 0 ]; then
    found=1
    # The property that failed, or the sanitizer's report, and the input kept.
    grep -E -m3 -A1 "property does not hold|ERROR: |runtime error|Test unit written" "$log" || tail -20 "$log"
    summary+=("$(printf '%-14s %12s executions %9s/s  finding: see %s' "$target" "${executions:-?}" "${rate:-?}" "$log")")
  else
    summary+=("$(printf '%-14s %12s executions %9s/s  no findings' "$target" "${executions:-?}" "${rate:-?}")")
  fi
done
echo "== fuzzed each target for $seconds s"
printf '%s\n' "${summary[@]}"
exit "$found"
