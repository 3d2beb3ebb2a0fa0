#!/usr/bin/env bash
# Sets everything up, builds, and runs Halvex: the launcher window under a
# display, or the plan of the default room as plain text without one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" run
# Only the programs: the tests, their frameworks and tools come with
# scripts/test.sh.
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >&2

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The calculators hand their values back through hx.tmp in the current
  # directory; keep it out of the source tree.
  mkdir -p "$root/build/run"
  cd "$root/build/run"
  if [ -x "$root/build/launcher/halvex" ]; then
    exec "$root/build/launcher/halvex"
  fi
  exec "$root/build/hxp/HXP"
fi
exec "$root/build/hxplan/hxplan" 9,5,20,15,90
