#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: once in a normal build and
# once more under AddressSanitizer and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== build and test"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd "$root/build" && ctest --output-on-failure -j2)

echo "== build and test under AddressSanitizer and UBSan"
"$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DHALVEX_SANITIZE=ON
(cd "$root/build-sanitize" && ctest --output-on-failure -j2 -LE no-sanitize)

echo "== build the Windows programs and test them under Wine"
"$root/scripts/test-windows.sh"
