# shellcheck shell=bash
# Shell functions for the scripts that photograph the real program
# (screenshots.sh, icons.sh): a private X server, the program in its data
# set, clicks and menu picks with xdotool, screenshots with xwd and
# ImageMagick. Sourced, not run; the caller sets `set -euo pipefail`.
#   source tools/xsession.sh
#   build_program; start_x; start_lighter; click 390 450; shoot out.png

xsession_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
xsession_build="$xsession_root/build"  # the default preset's binary directory
xsession_tmp=$(mktemp -d /tmp/lighter-xsession-XXXXXX)
xvfb_pid=""
lighter_pid=""

xsession_cleanup() {
  stop_lighter
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$xsession_tmp"
}
trap xsession_cleanup EXIT

# Builds the program, its data set and any further targets named, with the
# CMake preset "default".
build_program() {
  (cd "$xsession_root" && cmake --preset default >/dev/null &&
    cmake --build --preset default -j"$(nproc)" --target lighter lighter_data "$@" >/dev/null)
}

# Waits up to 10 seconds for a command to succeed. The command runs anew
# each time, so a condition that reads the present state is a function.
wait_for() {
  for _ in $(seq 100); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "$(basename "$0"): timed out waiting for: $*" >&2
  return 1
}

# A private X server on a display number it picks itself, so that it never
# meets another one on this machine; -noreset keeps it up between programs.
start_x() {
  exec {fd}>"$xsession_tmp/display"
  Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  exec {fd}>&-
  wait_for test -s "$xsession_tmp/display"
  DISPLAY=":$(head -n 1 "$xsession_tmp/display")"
  export DISPLAY
  wait_for xdpyinfo
}

# Starts the program in the data set it ships, or in the data directory given,
# with any further arguments as its options (its output line-buffered into $xsession_tmp/output, so that sparks_printed
# sees each line) and waits for its window; sets window_x and window_y, where
# it sits on the screen.
start_lighter() {
  exec stdbuf -oL "$xsession_build/lighter/lighter" "${@:2}" "${1:-$xsession_build/data}" \
    >"$xsession_tmp/output" &
  lighter_pid=$!
  wait_for xdotool search --name '^Lighter Demonstration$'
  window=$(xdotool search --name '^Lighter Demonstration$' | head -n 1)
  wait_for window_viewable
  # There is no window manager to move the window.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  window_x=$X
  window_y=$Y
  # A window is mapped before the program draws into it.
  wait_for lighter_drawn
}

window_viewable() { xwininfo -id "$window" | grep -q 'Map State: IsViewable'; }
# Whether the lighter's body shows (its pixel at 390 450 is not black).
lighter_drawn() {
  (($(xwd -silent -id "$window" | convert xwd:- -crop 1x1+390+450 -format '%[fx:int(255*maxima)]' info:) > 0))
}

stop_lighter() {
  if [ -n "$lighter_pid" ]; then
    kill "$lighter_pid" 2>/dev/null || true
    wait "$lighter_pid" 2>/dev/null || true
    lighter_pid=""
  fi
}

# The window's picture now, into an image file of any format ImageMagick writes.
shoot() { xwd -silent -id "$window" | convert xwd:- -strip "$1"; }

# Left click at window coordinates (y from the top). The X server takes the
# move, the press and the release in their order, so nothing waits between
# them: xdotool's own click holds the button down for a tenth of a second,
# and waiting for the move takes as long, both longer than a spark lasts.
click() { xdotool mousemove $((window_x + $1)) $((window_y + $2)) mousedown 1 mouseup 1; }

# Whether the program has printed at least $1 sparks.
sparks_printed() { [ "$(grep -c '^spark!!$' "$xsession_tmp/output")" -ge "$1" ]; }

# Two sparks, each waited out (a spark's short flame ends 70 ms after it),
# then the click that lights the steady flame.
light_flame() {
  local x=390
  for n in 1 2; do
    click $((x + n)) 450
    wait_for sparks_printed "$n"
    sleep 0.3
  done
  click $((x + 3)) 450
}

# Visible menus, and the position "x y" of the rightmost one (a submenu opens
# to the right of its parent).
menu_count() { { xdotool search --onlyvisible --name '^freeglut menu$' 2>/dev/null || true; } | wc -l; }
menus_shown() { [ "$(menu_count)" -ge "$1" ]; }
rightmost_menu() {
  for id in $(xdotool search --onlyvisible --name '^freeglut menu$'); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    echo "$X $Y"
  done | sort -n | tail -n 1
}
# Menu entry i (from 0) is centred 2 + 25 i + 12 pixels below the menu's top.
entry_y() { echo $(($1 + 2 + 25 * $2 + 12)); }

# The menu in steps, for callers that do something between them: open it
# with a right click at window coordinates X Y, move onto entry i of the main
# menu (its submenu opens to the right), click entry j of the submenu.
# Like click, none waits for xdotool's moves or holds a button down; the
# caller waits for the menus to show (menus_shown).
menu_open() { xdotool mousemove $((window_x + $1)) $((window_y + $2)) mousedown 3 mouseup 3; }
menu_enter() {
  local mx my
  read -r mx my <<<"$(rightmost_menu)"
  xdotool mousemove $((mx + 40)) "$(entry_y "$my" "$1")"
}
# (freeglut draws a submenu once the pointer is in it: menu_point moves onto
# the entry, menu_click clicks where the pointer is.)
menu_point() {
  local sx sy
  read -r sx sy <<<"$(rightmost_menu)"
  xdotool mousemove $((sx + 40)) "$(entry_y "$sy" "$1")"
}
menu_click() { xdotool mousedown 1 mouseup 1; }
menu_pick() {
  menu_point "$1"
  menu_click
}

# Picks entry SUB of the submenu of entry MAIN: pick_menu MAIN SUB.
pick_menu() {
  menu_open 100 100
  wait_for menus_shown 1
  menu_enter "$1"
  wait_for menus_shown 2
  menu_pick "$2"
}
