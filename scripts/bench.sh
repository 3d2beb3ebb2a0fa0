#!/usr/bin/env bash
# bench.sh [rounds]: builds the benchmarks into build-bench/ and measures, in
# one run:
#   - start-up to the first painted frame and peak memory of HXP and the
#     launcher against a plain Qt Widgets window with as many widgets, each
#     program ending at its first frame; the three take turns in every round,
#     on the offscreen platform and under Xvfb (default 20 rounds);
#   - under Wine (when MinGW-w64 and Wine are installed), the same for the
#     Windows programs HXP.exe and Halvex.exe against a plain Win32 dialog
#     with as many controls as HXP's window, built into build-bench-windows/;
#   - the same for the cone calculator HXC, in the same rounds (HXC.exe
#     under Wine), against the same plain window and against one with as
#     many widgets of the kinds HXC's window has;
#   - a keystroke in HXP's window, key event to updated texts, in-process;
#   - a keystroke in HXC's window on a 100 x 100 ft room, to the updated
#     texts, level figures and plan, repainted;
#   - the core's work for one keystroke against snprintf("%.7Lg") of the same
#     ten values.
# Prints one table with medians and ratios.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-20}
dir="$root/build-bench"
"$root/scripts/setup.sh" test
"$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVEX_BENCHMARKS=ON -DBUILD_TESTING=OFF >&2

programs=(hxp_first_frame launcher_first_frame minimal_window hxc_first_frame minimal_window_cone)
work=$(mktemp -d)
xvfb=""
cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver --kill >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# The programs write nothing to disk before their first frame, but keep any
# hx.tmp they might look for out of the source tree.
cd "$work"

# run <platform> <program>: one start, appending "<ms> <KiB>" to its record;
# on the platform "wine" the Windows build's program under Wine.
run() {
  local start end
  local command=("$dir/bench/$2")
  [ "$1" = wine ] && command=(wine "$dir_windows/bench/$2.exe")
  start=$EPOCHREALTIME
  QT_QPA_PLATFORM=$1 /usr/bin/time -f %M -o "$work/rss" "${command[@]}" 2>"$work/said" >/dev/null
  end=$EPOCHREALTIME
  sed -i 's/\r$//' "$work/said"  # a Windows program ends its lines with CR LF
  grep -q ' widgets$' "$work/said" || { echo "bench.sh: $2 on $1 did not paint:" >&2; cat "$work/said" >&2; exit 1; }
  widgets[$2]=$(grep -m1 ' widgets$' "$work/said" | cut -d' ' -f1)
  echo "$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", (e - s) * 1000 }') $(cat "$work/rss")" \
    >>"$work/$1.$2"
}

# measure <platform>: a warm-up start of each, then the rounds, the order of
# the three turning every round.
declare -A widgets
measure() {
  local round i n=${#programs[@]}
  for program in "${programs[@]}"; do run "$1" "$program"; : >"$work/$1.$program"; done
  for ((round = 0; round < rounds; ++round)); do
    for ((i = 0; i < n; ++i)); do run "$1" "${programs[(round + i) % n]}"; done
  done
}

# median <file> <column>
median() { cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { printf "%.1f\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

table_rows=()
startup_rows() {
  local platform=$1 label=$2 program
  local -A t m  # median time (ms) and peak RSS (KiB) of each program measured
  for program in "${programs[@]}"; do
    [ -s "$work/$platform.$program" ] || continue
    t[$program]=$(median "$work/$platform.$program" 1)
    m[$program]=$(median "$work/$platform.$program" 2)
  done
  local hxp=hxp_first_frame launcher=launcher_first_frame plain=minimal_window
  table_rows+=("| start to first frame, $label | ${t[$hxp]} ms | ${t[$launcher]} ms | ${t[$plain]} ms | $(ratio "${t[$hxp]}" "${t[$plain]}") | $(ratio "${t[$launcher]}" "${t[$plain]}") |")
  table_rows+=("| peak RSS, $label | $(mib "${m[$hxp]}") MiB | $(mib "${m[$launcher]}") MiB | $(mib "${m[$plain]}") MiB | $(ratio "${m[$hxp]}" "${m[$plain]}") | $(ratio "${m[$launcher]}" "${m[$plain]}") |")
  local hxc=hxc_first_frame cone=minimal_window_cone
  [ -n "${t[$hxc]:-}" ] || return 0
  hxc_rows+=("| start to first frame, $label | ${t[$hxc]} ms | ${t[$cone]} ms | $(ratio "${t[$hxc]}" "${t[$cone]}") | ${t[$plain]} ms | $(ratio "${t[$hxc]}" "${t[$plain]}") |")
  hxc_rows+=("| peak RSS, $label | $(mib "${m[$hxc]}") MiB | $(mib "${m[$cone]}") MiB | $(ratio "${m[$hxc]}" "${m[$cone]}") | $(mib "${m[$plain]}") MiB | $(ratio "${m[$hxc]}" "${m[$plain]}") |")
}
hxc_rows=()

echo "start-up: $rounds rounds on the offscreen platform" >&2
measure offscreen
startup_rows offscreen offscreen
qt_widgets="${widgets[hxp_first_frame]} | ${widgets[launcher_first_frame]} | ${widgets[minimal_window]}"
# The Wine run below counts controls of the Windows programs into the same
# array: keep the Qt counts for the tables.
hxc_widgets="${widgets[hxc_first_frame]} | ${widgets[minimal_window_cone]} | | ${widgets[minimal_window]}"

if command -v Xvfb >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
  echo "start-up: $rounds rounds under Xvfb ($DISPLAY)" >&2
  measure xcb
  startup_rows xcb Xvfb
else
  echo "bench.sh: no Xvfb, start-up under X not measured" >&2
fi

# The Windows programs under Wine, on the same display, in a fresh prefix of
# their own with Wine's fonts (the dialog font among them), one Wine server
# kept running for all starts.
dir_windows="$root/build-bench-windows"
if [ -n "$xvfb" ] && command -v wine >/dev/null && command -v i686-w64-mingw32-g++ >/dev/null; then
  "$root/scripts/build.sh" "$dir_windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DHALVEX_BENCHMARKS=ON -DBUILD_TESTING=OFF \
    --target hxp_first_frame --target hxc_first_frame --target launcher_first_frame --target minimal_window \
    --target minimal_window_cone >&2
  export WINEPREFIX="$work/wine" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
  mkdir -p "$WINEPREFIX"
  wineserver --persistent
  wineboot --init >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  find /usr/share/wine/fonts -maxdepth 1 -type f -exec cp -t "$WINEPREFIX/drive_c/windows/Fonts/" {} +
  echo "start-up: $rounds rounds under Wine ($DISPLAY)" >&2
  measure wine
  startup_rows wine Wine
  wine_row="| controls in the first window, Wine | ${widgets[hxp_first_frame]} | ${widgets[launcher_first_frame]} | ${widgets[minimal_window]} | | |"
  hxc_wine_row="| controls in the first window, Wine | ${widgets[hxc_first_frame]} | ${widgets[minimal_window_cone]} | | ${widgets[minimal_window]} | |"
else
  echo "bench.sh: no Wine or MinGW-w64, start-up under Wine not measured" >&2
fi

# Google Benchmark's median of five repetitions, in microseconds.
gbench() {
  QT_QPA_PLATFORM=offscreen "$dir/bench/$1" --benchmark_filter="$2" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv --benchmark_time_unit=us 2>/dev/null
}
echo "keystrokes and core" >&2
keys=$(gbench keystroke_bench 'BM_Keystroke')
core=$(gbench core_bench 'BM_KeystrokeWith')
value() { grep "^\"$1_median\"" <<<"$2" | cut -d, -f3; }
spl=$(value BM_KeystrokeInSplField "$keys")
ear=$(value BM_KeystrokeInEarLevelField "$keys")
ours=$(value BM_KeystrokeWithFormatNumber "$core")
libc=$(value BM_KeystrokeWithSnprintf "$core")
echo "cone coverage" >&2
gbench_ms() {
  "$dir/bench/$1" --benchmark_filter="$2" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv --benchmark_time_unit=ms 2>/dev/null
}
cone=$(gbench_ms hxplan_bench 'BM_ConeCoverage100x100')
cone_key=$(QT_QPA_PLATFORM=offscreen gbench_ms keystroke_bench 'BM_ConeKeystroke100x100')
cone_key=$(value BM_ConeKeystroke100x100 "$cone_key")
cone_fast=$(value BM_ConeCoverage100x100/0 "$cone")
cone_direct=$(value BM_ConeCoverage100x100/1 "$cone")

echo
echo "| measure | HXP | launcher | plain window | HXP / plain | launcher / plain |"
echo "| --- | --- | --- | --- | --- | --- |"
printf '%s\n' "${table_rows[@]}"
echo "| widgets in the first window | ${qt_widgets} | | |"
[ -n "${wine_row:-}" ] && echo "$wine_row"
echo
echo "| keystroke, key event to updated texts | time | target |"
echo "| --- | --- | --- |"
printf '| in the SPL field | %.1f µs | under 1000 µs |\n' "$spl"
printf '| in the ear level field (every refresh step) | %.1f µs | under 1000 µs |\n' "$ear"
echo
echo "| core, one keystroke (read, calculate, ten texts) | time | ratio |"
echo "| --- | --- | --- |"
printf '| FormatNumber | %.3f µs | %s |\n' "$ours" "$(ratio "$ours" "$libc")"
printf '| snprintf("%%.7Lg") of the same values | %.3f µs | 1.00 |\n' "$libc"
echo
echo "| cone coverage, 100 x 100 ft, C8P, centre to centre, hexagonal (330 loudspeakers, 40,000 cells) | time | target |"
echo "| --- | --- | --- |"
printf '| table by squared distance (hxplan, the window) | %.1f ms | under 50 ms |\n' "$cone_fast"
printf '| every term in full (the direct sum) | %.1f ms | |\n' "$cone_direct"
echo
echo "| measure | HXC | plain window, HXC's widgets | HXC / plain | plain window, HXP's widgets | HXC / plain |"
echo "| --- | --- | --- | --- | --- | --- |"
printf '%s\n' "${hxc_rows[@]}"
echo "| widgets in the first window | ${hxc_widgets} | |"
[ -n "${hxc_wine_row:-}" ] && echo "$hxc_wine_row"
echo
echo "| keystroke in HXC, 100 x 100 ft, C8P, centre to centre, hexagonal: texts, level and plan | time | target |"
echo "| --- | --- | --- |"
printf '| in the SPL field, repainted | %.1f ms | under 16 ms |\n' "$cone_key"
echo
echo "Measured on $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $rounds rounds; targets: start-up within 1.1x (HXC 1.2x), RSS within 1.2x, core within 2x, cone coverage under 50 ms, HXC keystroke under 16 ms."
