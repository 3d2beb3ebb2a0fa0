#!/usr/bin/env bash
# bench-hxplan.sh [build dir] [rounds]: times the real hxplan on generated
# projects of 10,000, 100,000 and 1,000,000 rooms (text and --json, no
# drawings, no coverage), and the HTML report of 1,000 rooms with and without
# the coverage maps, and takes its peak memory (RSS) with GNU time: the
# median of the rounds (3 by default), wall and user time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
hxplan=${1:-$root/build}/hxplan/hxplan
rounds=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for rooms in 1000 10000 100000 1000000; do
  awk -v n="$rooms" 'BEGIN {
    split("NV40 NV50 JR2A JR2B MW3018K MW3009P LX7R", models, " ")
    print "room,length,width,ear_level,ceiling,spl,deviation,model,zone"
    for (i = 0; i < n; i++)
      printf "Room %d,%d,%d,%d,%d,%d,%d,%s,Zone %d\n", i, 8 + i * 37 % 193, 8 + i * 53 % 113, 4 + i % 2,
             9 + i % 8, 80 + i % 21, i % 7, models[i % 7 + 1], i % 50
  }' > "$work/rooms$rooms.csv"
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# measure ROOMS OUTPUT [OPTION...]: one row of the table.
measure() {
  local rooms=$1 output=$2
  shift 2
  : > "$work/times"
  for _ in $(seq "$rounds"); do
    /usr/bin/time -f '%e %U %M' -o "$work/time" "$hxplan" --project "$work/rooms$rooms.csv" "$@" > /dev/null
    cat "$work/time" >> "$work/times"
  done
  wall=$(cut -d' ' -f1 "$work/times" | median)
  user=$(cut -d' ' -f2 "$work/times" | median)
  rss=$(cut -d' ' -f3 "$work/times" | median)
  printf '| %s | %s | %s s | %s s | %s MiB |\n' "$rooms" "$output" "$wall" "$user" "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')"
}
printf '| rooms | output | wall time | user time | peak RSS |\n| --- | --- | --- | --- | --- |\n'
for rooms in 10000 100000 1000000; do
  measure "$rooms" text
  measure "$rooms" JSON --json
done
measure 1000 "text and report" --report "$work/report.html"
measure 1000 "text and report with coverage" --coverage --report "$work/report.html"
