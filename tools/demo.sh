#!/usr/bin/env bash
# Sets up, builds (CMake preset "default", in build/) and starts the demo on
# the data set it ships, or on the data directory given (relative to the
# caller's working directory, like the program's own argument).
#
#   tools/demo.sh [GLUT-OPTION...] [DIRECTORY]
set -euo pipefail
here=$PWD
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target lighter lighter_data

if [ -z "${DISPLAY:-}" ]; then
  echo "demo: no display; set DISPLAY (for instance run it inside an X session, or under xvfb-run)" >&2
  exit 1
fi
# The built data set first: the program takes the last directory it is
# given, so one named here wins.
cd "$here"
exec "$root/build/lighter/lighter" "$root/build/data" "$@"
