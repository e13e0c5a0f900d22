#!/usr/bin/env bash
# Makes the README's pictures with the program itself, on a private X
# server: four pictures (--screenshot: in "Lit" at rest and with the flame
# lit, the flame lit in "Smooth", and wireframe), the animation at the top of
# the README (--record, lighter.webp: two sparks and the flame, in "Lit") and
# the colour cycle (lighter-colours.webp, recorded while xdotool picks
# "Rotate" from the menu, which no option can).
#   tools/screenshots.sh [OUTPUT_DIR]
# Default: docs. Builds the program with the CMake preset "default" (in
# build/). Needs Xvfb and, for the menu, xdotool, xwd and ImageMagick.
set -euo pipefail
# shellcheck source=tools/xsession.sh
source "$(dirname "$0")/xsession.sh"
mkdir -p "${1:-$xsession_root/docs}"
out=$(cd "${1:-$xsession_root/docs}" && pwd)
budget=$((3 * 1024 * 1024))  # bytes a README picture may take

build_program
start_x
lighter() { "$xsession_build/lighter/lighter" "$@" "$xsession_build/data" >/dev/null; }

# --strike 3 lights the flame at 1.5 s; the first flame shows the start-up
# spread of colours for a while, so its pictures are taken at 3.5 s.
lighter --mode lit --screenshot "$out/lighter-at-rest.png"
lighter --mode lit --strike 3 --seconds 3.5 --screenshot "$out/lighter-flame.png"
lighter --mode smooth --strike 3 --seconds 3.5 --screenshot "$out/lighter-smooth.png"
lighter --mode wireframe --screenshot "$out/lighter-wireframe.png"
lighter --mode lit --strike 3 --record "$out/lighter.webp" --seconds 6

# The colour cycle: "Flame Colors", "Rotate" (entry 4 of its submenu) picked
# once both sparks are out, while the program records.
start_lighter "" --mode lit --strike 3 --record "$out/lighter-colours.webp" --seconds 6
wait_for sparks_printed 2
pick_menu 0 4
wait "$lighter_pid"
lighter_pid=""

for file in lighter.webp lighter-colours.webp; do
  size=$(stat -c %s "$out/$file")
  echo "screenshots: $out/$file, $size bytes"
  if ((size > budget)); then
    echo "screenshots: $file is over $budget bytes" >&2
    exit 1
  fi
done
