#!/usr/bin/env bash
# Makes the README's three screenshots of the lighter on a private X server:
# at rest, with the flame lit (three clicks on the body), and in wireframe.
#   tools/screenshots.sh [OUTPUT_DIR]
# Default: docs. Builds the program with the CMake preset "default" (in
# build/). Needs Xvfb, xdotool, xwd, xwininfo and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"  # the default preset's binary directory
mkdir -p "${1:-$root/docs}"
out=$(cd "${1:-$root/docs}" && pwd)
(cd "$root" && cmake --preset default >/dev/null &&
  cmake --build --preset default -j"$(nproc)" --target lighter lighter_data >/dev/null)

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
lighter_pid=""
cleanup() {
  [ -n "$lighter_pid" ] && kill "$lighter_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY="$display"

# Waits up to 10 seconds for a command to succeed.
wait_for() {
  for _ in $(seq 100); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "screenshots: timed out waiting for: $*" >&2
  return 1
}

wait_for xdpyinfo
cd "$build/data"
"$build/lighter/lighter" >/dev/null &
lighter_pid=$!
wait_for xdotool search --name '^Lighter Demonstration$'
window=$(xdotool search --name '^Lighter Demonstration$' | head -n 1)
wait_for test "$(xwininfo -id "$window" | awk '/Map State/ {print $3}')" = IsViewable
# Where the window sits on the screen (there is no window manager to move it).
eval "$(xdotool getwindowgeometry --shell "$window")"
readonly window_x=$X window_y=$Y

shoot() {
  sleep 0.5  # let a few frames pass; frames come continuously
  xwd -silent -id "$window" | convert xwd:- "$out/$1"
  echo "screenshots: wrote $out/$1"
}

# Left click at window coordinates (y from the top).
click() { xdotool mousemove --sync $((window_x + $1)) $((window_y + $2)) click 1; }

# Visible menus, and the position "x y" of the rightmost one (a submenu opens
# to the right of its parent).
menu_count() { xdotool search --onlyvisible --name '^freeglut menu$' 2>/dev/null | wc -l; }
rightmost_menu() {
  for id in $(xdotool search --onlyvisible --name '^freeglut menu$'); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    echo "$X $Y"
  done | sort -n | tail -n 1
}
# Menu entry i (from 0) is centred 2 + 25 i + 12 pixels below the menu's top.
entry_y() { echo $(($1 + 2 + 25 * $2 + 12)); }

shoot lighter-at-rest.png

# Three clicks on the body: two sparks, then the steady flame.
# (Each click a pixel apart: a synchronous move to where the pointer already
# is makes xdotool wait.)
for x in 390 391 392; do
  click "$x" 450
  sleep 0.3
done
sleep 2  # the first flame still shows the start-up spread of colours
shoot lighter-flame.png
click 393 450  # flame out

# Menu: "Mesh Modes" (second entry), then "Wireframe" (first entry).
xdotool mousemove --sync $((window_x + 100)) $((window_y + 100)) click 3
wait_for test "$(menu_count)" -ge 1
read -r mx my <<<"$(rightmost_menu)"
xdotool mousemove --sync $((mx + 40)) "$(entry_y "$my" 1)"
wait_for test "$(menu_count)" -ge 2
read -r sx sy <<<"$(rightmost_menu)"
xdotool mousemove --sync $((sx + 40)) "$(entry_y "$sy" 0)" click 1
shoot lighter-wireframe.png
