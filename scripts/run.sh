#!/usr/bin/env bash
# Sets everything up, builds, and runs Halvex: the launcher window under a
# display, or the plan of the default room as plain text without one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$root/build/launcher/halvex" ]; then
  cd "$root/build/launcher"
  exec ./halvex
fi
exec "$root/build/hxplan/hxplan" 9,5,20,15,90
