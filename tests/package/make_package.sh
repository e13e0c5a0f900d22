#!/usr/bin/env bash
# Makes the Debian package of a build tree for the packaging tests, and
# installs the same build into a staging directory under the package's
# prefix: the install_manifest.txt of that install is what the install rules
# install, which the package must hold.
#   make_package.sh BUILD_DIR OUT_DIR PREFIX
# OUT_DIR gets cpack/lighter_*.deb, its contents in root/, stage/ and
# install_manifest.txt.
set -euo pipefail
build=$1
out=$2
prefix=$3
rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out/cpack"
DESTDIR="$out/stage" cmake --install "$build" --prefix "$prefix" >/dev/null
cp "$build/install_manifest.txt" "$out/install_manifest.txt"
# The package's own tree, for the tests that only read it.
dpkg-deb -x "$(find "$out/cpack" -maxdepth 1 -name 'lighter_*.deb')" "$out/root"
