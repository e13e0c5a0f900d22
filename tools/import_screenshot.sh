#!/usr/bin/env bash
# Makes the README's picture of an imported model: the project's own candle
# (importer/model_gen), imported with lighter-import and shown by the program
# with its flame lit, on a private X server.
#   tools/import_screenshot.sh [OUTPUT_DIR]
# Default: docs; writes imported-candle.png. Builds with the CMake preset
# "default" (in build/). Needs Xvfb, xdotool, xwd, xwininfo and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"  # the default preset's binary directory
mkdir -p "${1:-$root/docs}"
out=$(cd "${1:-$root/docs}" && pwd)
(cd "$root" && cmake --preset default >/dev/null &&
  cmake --build --preset default -j"$(nproc)" --target lighter model_gen lighter-import >/dev/null)

work=$(mktemp -d /tmp/lighter-import-shot-XXXXXX)
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
lighter_pid=""
cleanup() {
  [ -n "$lighter_pid" ] && kill "$lighter_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY="$display"

# Waits up to 10 seconds for a command to succeed.
wait_for() {
  for _ in $(seq 100); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "import_screenshot: timed out waiting for: $*" >&2
  return 1
}

"$build/importer/model_gen" candle 5000 "$work/candle.obj"
"$build/importer/lighter-import" "$work/candle.obj" -o "$work/lighter-data-candle"

wait_for xdpyinfo
cd "$work/lighter-data-candle"
"$build/lighter/lighter" >/dev/null &
lighter_pid=$!
wait_for xdotool search --name '^Lighter Demonstration$'
window=$(xdotool search --name '^Lighter Demonstration$' | head -n 1)
wait_for test "$(xwininfo -id "$window" | awk '/Map State/ {print $3}')" = IsViewable

# Three clicks on the body (the window opens at 320, 100): two sparks, then
# the steady flame; each click a pixel apart, as in tools/screenshots.sh.
for x in 390 391 392; do
  xdotool mousemove --sync $((320 + x)) $((100 + 450)) click 1
  sleep 0.3
done
sleep 4  # the first flames still show the start-up spread of colours
xwd -silent -id "$window" | convert xwd:- "$out/imported-candle.png"
echo "import_screenshot: wrote $out/imported-candle.png"
