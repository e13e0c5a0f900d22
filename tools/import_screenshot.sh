#!/usr/bin/env bash
# Makes the README's picture of an imported model: the project's own striped
# candle (tools/model_looks/look_gen, a Collada file with its TGA texture
# beside it), imported with lighter-import and shown by the program in Lit,
# in its own colours, with its flame lit, on a private X server.
#   tools/import_screenshot.sh [OUTPUT_DIR]
# Default: docs; writes imported-candle.png. Builds with the CMake preset
# "default" (in build/). Needs Xvfb, xdotool, xwd and ImageMagick.
set -euo pipefail
# shellcheck source=tools/xsession.sh
source "$(dirname "$0")/xsession.sh"
mkdir -p "${1:-$xsession_root/docs}"
out=$(cd "${1:-$xsession_root/docs}" && pwd)

build_program look_gen lighter-import
"$xsession_build/tools/model_looks/look_gen" striped-candle "$xsession_tmp/candle.dae" >/dev/null
"$xsession_build/importer/lighter-import" "$xsession_tmp/candle.dae" \
  -o "$xsession_tmp/lighter-data-candle" >/dev/null

start_x
start_lighter "$xsession_tmp/lighter-data-candle" --mode lit
light_flame
sleep 4  # the first flames still show the start-up spread of colours
shoot "$out/imported-candle.png"
echo "import_screenshot: wrote $out/imported-candle.png"
