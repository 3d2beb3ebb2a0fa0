#!/usr/bin/env bash
# package.sh: builds, each from a clean build without the tests, the packages
# a user installs, into dist/:
#   halvex_<version>_amd64.deb    apt-get install ./halvex_<version>_amd64.deb
#   halvex-<version>-win32.zip    unzip anywhere and run Halvex.exe
# Installs what is missing. The zip's programs are tested under Wine by
# scripts/test-windows.sh (the test windows.zip.round_trip.e2e); the .deb is
# installed in a clean Debian root by scripts/test-clean-machine.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" package
dist=$root/dist
mkdir -p "$dist"

# package <build dir> <cmake options...>: a fresh build, then cpack into dist/.
# Each is built as its tests build it; CPack strips the Linux programs.
package() {
  local dir=$1
  shift
  rm -rf "$dir"
  "$root/scripts/build.sh" "$dir" -DBUILD_TESTING=OFF "$@" >&2
  (cd "$dir" && cpack -B "$dist" >&2)
  rm -rf "$dist/_CPack_Packages"
}

package "$root/build-package" -DCMAKE_BUILD_TYPE=RelWithDebInfo
package "$root/build-package-windows" -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake"

version=$(sed -n 's/^project(Halvex VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
deb=$dist/halvex_${version}_amd64.deb
zip=$dist/halvex-${version}-win32.zip
for made in "$deb" "$zip"; do
  [ -f "$made" ] || { echo "package.sh: $made was not made" >&2; exit 1; }
done
echo "$deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
echo "$zip"
python3 -c 'import sys, zipfile; [print(f"  {i.file_size:>9}  {i.filename}") for i in zipfile.ZipFile(sys.argv[1]).infolist()]' "$zip"
