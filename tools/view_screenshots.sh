#!/usr/bin/env bash
# Makes the pictures of the lighter turned with the flame burning, in Lit:
# from the front, the side, above and behind (lighter-view-front.png,
# lighter-view-side.png, lighter-view-above.png, lighter-view-behind.png),
# and the project's striped candle imported with lighter-import, from
# behind (imported-candle-behind.png), on a private X server. Each starts at
# the start view, lights the flame with Space and turns with the arrow keys,
# as a user would.
#   tools/view_screenshots.sh [OUTPUT_DIR]
# Default: docs. Builds with the CMake preset "default" (in build/). Needs
# Xvfb, xdotool, xwd and ImageMagick.
set -euo pipefail
# shellcheck source=tools/xsession.sh
source "$(dirname "$0")/xsession.sh"
mkdir -p "${1:-$xsession_root/docs}"
out=$(cd "${1:-$xsession_root/docs}" && pwd)

keys() { xdotool windowfocus --sync "$window" key --delay 20 "$@"; }

# Two sparks, each waited out, then the flame, all with Space.
light_flame_by_keys() {
  for n in 1 2; do
    keys space
    wait_for sparks_printed "$n"
    sleep 0.3
  done
  keys space
}

# picture FILE [DATA_DIRECTORY] KEY...: the program in Lit, the flame lit
# and burnt long enough for most of its start-up colours to go, turned by
# the keys.
picture() {
  local file=$1 data=$2
  start_lighter "$data" --mode lit
  light_flame_by_keys
  sleep 9
  if (($# > 2)); then keys "${@:3}"; fi
  sleep 0.5
  shoot "$out/$file"
  stop_lighter
  echo "view_screenshots: wrote $out/$file"
}

build_program look_gen lighter-import
"$xsession_build/tools/model_looks/look_gen" striped-candle "$xsession_tmp/candle.dae" >/dev/null
"$xsession_build/importer/lighter-import" "$xsession_tmp/candle.dae" \
  -o "$xsession_tmp/lighter-data-candle" >/dev/null

start_x
right() { for _ in $(seq "$1"); do echo Right; done; }
# shellcheck disable=SC2046  # one key name per word
{
  picture lighter-view-front.png ""
  picture lighter-view-side.png "" $(right 5) Down
  picture lighter-view-above.png "" Left Down Down Down Down
  picture lighter-view-behind.png "" $(right 11) Down
  picture imported-candle-behind.png "$xsession_tmp/lighter-data-candle" $(right 12) Down
}
