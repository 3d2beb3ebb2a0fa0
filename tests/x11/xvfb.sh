# Sourced by end-to-end tests: starts Xvfb on a free display for this test and
# stops it on exit. Exits 77 (skipped) when there is no Xvfb.
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
for number in $(seq 70 99); do
  [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
done
export DISPLAY=":$number"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "FAIL: Xvfb did not start on $DISPLAY"; exit 1; }
