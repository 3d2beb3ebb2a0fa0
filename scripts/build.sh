#!/usr/bin/env bash
# build.sh <build dir> [cmake options...] [--target NAME...]: configures when
# the directory is new or the options differ from those it was last
# configured with, then builds the targets named, or everything. A changed
# set of options starts from a fresh cache, so an option left out takes its
# default again instead of the value cached before.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
cmake_options=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = --target ]; then
    targets+=(--target "$2")
    shift 2
  else
    cmake_options+=("$1")
    shift
  fi
done
set -- "${cmake_options[@]}"
stamp="$dir/halvex-configure-options"
options=$(printf '%s\n' "$@")
if [ ! -f "$dir/CMakeCache.txt" ] || [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$options" ]; then
  rm -f "$dir/CMakeCache.txt" "$stamp"
  # cmake's progress only when it fails; its warnings and errors always.
  if ! progress=$(cmake -S "$root" -B "$dir" "$@"); then
    printf '%s\n' "$progress" >&2
    echo "build.sh: configuring $dir failed" >&2
    exit 1
  fi
  printf '%s\n' "$options" >"$stamp"
fi
cmake --build "$dir" -j2 "${targets[@]}"
