#!/usr/bin/env bash
# Makes the program's icon from its own picture: the lighter with its flame
# lit, rendered by the real program on a private X server, cropped to a
# square and cut to a rounded tile, at the hicolor sizes.
#   tools/icons.sh [OUTPUT_DIR]
# Default: desktop/icons, one NxN/lighter.png per size. Builds the program
# with the CMake preset "default". Needs Xvfb, xdotool, xwd and ImageMagick.
set -euo pipefail
# shellcheck source=tools/xsession.sh
source "$(dirname "$0")/xsession.sh"
out=${1:-$xsession_root/desktop/icons}
sizes=(48 128 256)
# The square of the window (x, y from the top-left corner, side) that holds
# the lighter's body, its open lid and the foot of the flame.
crop="520x520+205+80"
corner=64  # the tile's corner radius, in the cropped picture's pixels

build_program
start_x
start_lighter
light_flame
# The first flame carries the start-up spread of colours, and stray sparks
# drift far out; a few seconds give every particle a life in the flame colour.
sleep 4
shoot "$xsession_tmp/lit.png"
stop_lighter

side=${crop%%x*}
convert "$xsession_tmp/lit.png" -crop "$crop" +repage \
  \( -size "${side}x${side}" xc:black -fill white \
  -draw "roundrectangle 0,0 $((side - 1)),$((side - 1)) $corner,$corner" \) \
  -alpha off -compose CopyOpacity -composite "$xsession_tmp/tile.png"
for size in "${sizes[@]}"; do
  mkdir -p "$out/${size}x${size}"
  # No time stamps, so the same picture gives the same file.
  convert "$xsession_tmp/tile.png" -resize "${size}x${size}" -strip \
    -define png:exclude-chunks=date,time "$out/${size}x${size}/lighter.png"
  echo "icons: wrote $out/${size}x${size}/lighter.png"
done
