#!/usr/bin/env bash
# setup.sh [run|test|package]: installs what Halvex needs on Debian, and
# nothing when it is all there already.
#   run      building and running the programs (the default)
#   test     also the test frameworks, the sanitizer and fuzzer runtime, the
#            tools of the end-to-end tests and of the benchmarks
#   package  also what CPack's Debian package needs to find the programs'
#            runtime dependencies, and the Windows cross compiler
# Every package is named, also those another one only recommends: the
# installs leave recommended packages out, so that what a build or a test
# relies on never depends on what happened to be installed before.
set -euo pipefail

purpose=${1:-run}
packages=(build-essential cmake pkg-config qt6-base-dev libgl-dev fonts-liberation)
case $purpose in
  run) ;;
  test)
    packages+=(
      libgtest-dev libgmock-dev libbenchmark-dev
      clang libclang-rt-dev
      xvfb xauth xdotool x11-utils
      python3 time
      # The report printed by a real browser and read back: Chromium's
      # recommended fonts-liberation is above, and the report's own font
      # fonts-dejavu-core; its other recommends (udev, upower, a
      # notification daemon, printer settings, Mesa's drivers) serve a
      # desktop, not a headless print with the GPU off.
      chromium poppler-utils fonts-dejavu-core
      # A second, independent SVG renderer for the plans' drawings.
      librsvg2-bin
    )
    ;;
  package) packages+=(dpkg-dev file g++-mingw-w64-i686 libstb-dev python3) ;;
  *) echo "usage: setup.sh [run|test|package]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
