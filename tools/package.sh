#!/usr/bin/env bash
# Builds the Debian package lighter_VERSION_ARCH.deb with the CMake preset
# "package" (Release, in build-package/) and Debian's own compiler and linker
# flags (dpkg-buildflags, every hardening feature on), then checks it with
# lintian, which fails the script on an error or a warning.
#   tools/package.sh [OUTPUT_DIR]
# Default: the top of the repository, where `apt-get install ./lighter_*.deb`
# installs it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:-$root}"
out=$(cd "${1:-$root}" && pwd)
cd "$root"
bash tools/setup.sh

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# CMake reads no CPPFLAGS; Debian's own CMake builds add them to CXXFLAGS.
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake --preset package -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build --preset package -j"$(nproc)"

packages=build-package/packages
rm -rf "$packages"
cpack --config build-package/CPackConfig.cmake -B "$packages"
deb=$(find "$packages" -maxdepth 1 -name 'lighter_*.deb')
cp "$deb" "$out/"
deb="$out/$(basename "$deb")"
echo "package: $deb, $(stat -c %s "$deb") bytes"
lintian --fail-on error,warning "$deb"
echo "package: lintian found no error and no warning"
