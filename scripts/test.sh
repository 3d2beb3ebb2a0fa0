#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: once in a normal build and
# once more under AddressSanitizer and UBSan; then the Windows programs' tests
# under Wine, then each fuzz target. The normal build also builds the
# benchmark programs (not run), so that a change that breaks them fails here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" test

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== build and test"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVEX_REQUIRE_E2E=ON -DHALVEX_BENCHMARKS=ON
(cd "$root/build" && ctest --output-on-failure -j2)

echo "== build and test under AddressSanitizer and UBSan"
"$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DHALVEX_SANITIZE=ON
(cd "$root/build-sanitize" && ctest --output-on-failure -j2 -LE no-sanitize)

echo "== build the Windows programs and test them under Wine"
"$root/scripts/test-windows.sh"

# A minute per fuzz target by default: five minutes, and seconds to build;
# HALVEX_FUZZ_SECONDS=0 leaves the fuzzing out.
fuzz_seconds=${HALVEX_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" -gt 0 ]; then
  echo "== fuzz each target for $fuzz_seconds s"
  "$root/scripts/fuzz.sh" "$fuzz_seconds"
fi
