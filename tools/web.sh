#!/usr/bin/env bash
# Builds the web page (CMake preset "web": Emscripten, in build-web/) from the
# same sources as the desktop program, into build-web/site/: index.html, its
# JavaScript, its WebAssembly and the shipped data set as a preloaded package:
# the desktop build's own files (build/data, built first), byte for byte.
# Static files, ready to publish as they are. Then serves them on this
# machine and prints the address.
#
#   tools/web.sh [--port N]    build, then serve on 127.0.0.1 (port 8000; 0: any free port)
#   tools/web.sh --build       build only
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build_only=false
port=8000
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build_only=true ;;
    --port)
      [ $# -ge 2 ] || { echo "web: --port needs a number" >&2; exit 2; }
      port=$2
      shift
      ;;
    -h | --help)
      sed -n '2,11s/^# \{0,1\}//p' "$0"
      exit 0
      ;;
    *)
      echo "web: unknown argument: $1 (try --help)" >&2
      exit 2
      ;;
  esac
  shift
done

bash tools/setup.sh >&2
[ -f build/CMakeCache.txt ] || cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target lighter_data >&2
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)" --target lighter_web >&2
site="$root/build-web/site"
echo "web: the page is in $site" >&2
$build_only && exit 0

# Debian's Python: the server needs nothing else.
echo "web: serving it; open the address below in a browser, Ctrl-C stops" >&2
cd "$site"
exec /usr/bin/python3 -u -m http.server --bind 127.0.0.1 "$port"
