#!/usr/bin/env bash
# HXP as a user meets it: a real window under Xvfb, real key events, and the
# window system's close request. Usage: e2e_hxp.sh HXP HXPLAN CLOSE_WINDOW_PY
set -euo pipefail
hxp=$(realpath "$1") hxplan=$(realpath "$2") close_window=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tests/x11/xvfb.sh"
command -v xdotool >/dev/null || { echo "SKIP: xdotool is not installed"; exit 77; }

work=$(mktemp -d)
hxp_pid=
trap 'kill $hxp_pid $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
export HALVEX_UI_TRACE="$work/trace"

fail() { echo "FAIL: $*"; exit 1; }
# The last text the window set on a control.
shown() { awk -F'\t' -v id="$1" '$1 == id { text = $2 } END { print text }' "$HALVEX_UI_TRACE"; }
planned() { "$hxplan" --json "$1" | sed -n "s/^  \"$2\": \"\(.*\)\",\?$/\1/p"; }
expect_shown() {  # id, expected text, what
  local got
  for _ in $(seq 50); do
    got=$(shown "$1")
    [ "$got" = "$2" ] && return 0
    sleep 0.1
  done
  fail "$3: control $1 shows '$got', expected '$2'"
}

"$hxp" 12,4,30,25,95 &
hxp_pid=$!
window=$(timeout 20 xdotool search --sync --name "^Planar Speaker Layout$" | head -n 1)
[ -n "$window" ] || fail "no calculator window"
xdotool windowfocus --sync "$window"
sleep 0.3
expect_shown 140 "$(planned 12,4,30,25,95 powerRequired)" "first results"

# The focus starts in the room length field; the SPL field is three tabs on.
xdotool key Tab Tab Tab ctrl+a
xdotool type --delay 40 105
expect_shown 140 "$(planned 12,4,30,25,105 powerRequired)" "power after typing SPL 105"
expect_shown 145 "$(planned 12,4,30,25,105 tap)" "tap after typing SPL 105"

# Back to the room width, then on to the ear level.
xdotool key shift+Tab shift+Tab ctrl+a
xdotool type --delay 40 18
expect_shown 136 "$(planned 12,4,30,18,105 firstY)" "diagram after typing width 18"
xdotool key Tab ctrl+a
xdotool type --delay 40 13   # above the ceiling of 12: corrected to 11
expect_shown 121 " 11" "corrected ear level"
expect_shown 140 "$(planned 12,11,30,18,105 powerRequired)" "power after the correction"

python3 "$close_window" "$window"
for _ in $(seq 100); do
  kill -0 $hxp_pid 2>/dev/null || break
  sleep 0.1
done
kill -0 $hxp_pid 2>/dev/null && fail "HXP did not close on the close request"
wait $hxp_pid || true

expected=$(printf '"12"\r\n" 11"\r\n"30"\r\n"18"\r\n"105"\r\n' | od -c)
[ -f hx.tmp ] || fail "no hx.tmp written"
[ "$(od -c < hx.tmp)" = "$expected" ] || { od -c hx.tmp; fail "hx.tmp differs"; }
echo "1 passed, 0 failed"
