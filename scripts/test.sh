#!/usr/bin/env bash
# Sets everything up, then builds with warnings as errors and runs:
#   1. every test of a normal build (unit, window tests on the offscreen
#      platform, end-to-end tests under Xvfb, the install check); the build
#      also makes the benchmark programs (not run), so that they cannot rot;
#   2. every test again under AddressSanitizer and UBSan;
#   3. the Windows programs' tests under Wine (scripts/test-windows.sh),
#      the round trip of the Windows zip package among them;
#   4. each fuzz target for a minute (HALVEX_FUZZ_SECONDS; 0 leaves it out).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" test

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== build and test"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVEX_REQUIRE_E2E=ON -DHALVEX_BENCHMARKS=ON -DHALVEX_WERROR=ON
(cd "$root/build" && ctest --output-on-failure -j2)

echo "== build and test under AddressSanitizer and UBSan"
"$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DHALVEX_SANITIZE=ON -DHALVEX_WERROR=ON
(cd "$root/build-sanitize" && ctest --output-on-failure -j2)

echo "== build the Windows programs and test them under Wine"
"$root/scripts/test-windows.sh"

# A minute per fuzz target by default: five minutes, and seconds to build;
# HALVEX_FUZZ_SECONDS=0 leaves the fuzzing out.
fuzz_seconds=${HALVEX_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" -gt 0 ]; then
  echo "== fuzz each target for $fuzz_seconds s"
  "$root/scripts/fuzz.sh" "$fuzz_seconds"
fi
