#!/usr/bin/env bash
# Builds the 32-bit Windows programs and their tests with MinGW-w64 into
# build-windows/ and runs the tests under Wine, in a fresh Wine prefix with
# one Wine server kept running for the whole run. Installs what is missing.
#
#   scripts/test-windows.sh    (after the Linux build in build/, which the
#                               plans of the Windows build are compared with)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-windows

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# ---- what the cross build and Wine need
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture for wine32" >&2
  $sudo dpkg --add-architecture i386
  added_architecture=1
fi
# Every package by name, also those wine only recommends: installed without
# recommends, Wine comes without its fonts (fonts-wine) and without the X
# libraries its display driver loads when it finds them.
packages=(
  g++-mingw-w64-i686 googletest libstb-dev
  wine wine32:i386 fonts-wine
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
  libxcomposite1:i386 libxinerama1:i386 libxxf86vm1:i386
  xvfb xauth xdotool python3
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
elif [ -n "${added_architecture:-}" ]; then
  $sudo apt-get update -qq
fi

# ---- build
linux_hxplan=$root/build/hxplan/hxplan
options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel -DHALVEX_WERROR=ON)
[ -x "$linux_hxplan" ] && options+=(-DHALVEX_LINUX_HXPLAN="$linux_hxplan")
"$root/scripts/build.sh" "$build" "${options[@]}"

# ---- a virtual display for the windows, on a display number Xvfb picks;
# Wine's desktop is made on it when the prefix is, so it comes first
display_file=$build/xvfb-display
rm -f "$display_file"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 300); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(tr -d '\n' <"$display_file")

# ---- a fresh Wine prefix: 32-bit, quiet, with Wine's own fonts installed
# in it so that dialog units come out as on Windows
export WINEPREFIX=$build/wine WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
wineserver --kill >/dev/null 2>&1 || true  # one left from an earlier run
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# One server for every test process, started first so that it is the one
# they all use: each would otherwise start and stop its own.
wineserver --persistent
trap 'wineserver --kill >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
wineboot --init >/dev/null 2>&1
# No window manager runs: windows Wine leaves to one would make every hide
# wait two seconds for it.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Wine's bitmap "MS Sans Serif" among them: without it the dialog font is a
# stand-in 12 pixels high, and every dialog comes out a twelfth too short;
# without Marlett the title-bar buttons turn into letters. A test run with
# the stand-ins would pass or fail for the wrong reasons, so none runs.
wine_fonts=/usr/share/wine/fonts
for font in sserife.fon marlett.ttf; do
  if [ ! -f "$wine_fonts/$font" ]; then
    echo "test-windows.sh: $wine_fonts/$font is missing; install the package fonts-wine" >&2
    exit 1
  fi
done
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
find "$wine_fonts" -maxdepth 1 -type f -exec cp -t "$WINEPREFIX/drive_c/windows/Fonts/" {} +

(cd "$build" && ctest --output-on-failure -j2)
