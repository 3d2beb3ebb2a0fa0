#!/usr/bin/env bash
# build.sh <build dir> [cmake options...]: configures once, then builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" "$@" >/dev/null
fi
cmake --build "$dir" -j2
