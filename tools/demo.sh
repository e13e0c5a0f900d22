#!/usr/bin/env bash
# Sets up, builds (CMake preset "default", in build/) and starts the demo in
# the data set it ships.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target lighter lighter_data

if [ -z "${DISPLAY:-}" ]; then
  echo "demo: no display; set DISPLAY (for instance run it inside an X session, or under xvfb-run)" >&2
  exit 1
fi
# The program reads its meshes and textures from its working directory.
cd build/data
exec ../lighter/lighter "$@"
