#!/usr/bin/env bash
# Sets up, builds and starts the demo in the data set it ships.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/tools/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target lighter lighter_data

if [ -z "${DISPLAY:-}" ]; then
  echo "demo: no display; set DISPLAY (for instance run it inside an X session, or under xvfb-run)" >&2
  exit 1
fi
# The program reads its meshes and textures from its working directory.
cd "$root/build/data"
exec "$root/build/lighter/lighter" "$@"
