#!/usr/bin/env bash
# bench-hxplan.sh [build dir]: times the real hxplan on generated projects of
# 10,000 and 100,000 rooms (--json, no drawings, no coverage) with hyperfine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
hxplan=${1:-$root/build}/hxplan/hxplan
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for rooms in 10000 100000; do
  awk -v n="$rooms" 'BEGIN {
    split("NV40 NV50 JR2A JR2B MW3018K MW3009P LX7R", models, " ")
    print "room,length,width,ear_level,ceiling,spl,deviation,model,zone"
    for (i = 0; i < n; i++)
      printf "Room %d,%d,%d,%d,%d,%d,%d,%s,Zone %d\n", i, 8 + i * 37 % 193, 8 + i * 53 % 113, 4 + i % 2,
             9 + i % 8, 80 + i % 21, i % 7, models[i % 7 + 1], i % 50
  }' > "$work/rooms$rooms.csv"
done
hyperfine --warmup 2 --shell=none \
  "$hxplan --project $work/rooms10000.csv --json" \
  "$hxplan --project $work/rooms100000.csv --json" \
  "$hxplan --project $work/rooms100000.csv"
