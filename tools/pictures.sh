#!/usr/bin/env bash
# Makes the docs' pictures and the icons with the real program
# (tools/pictures/pictures.cpp, on the end-to-end harness, which starts its
# own X server): readme (the README's four pictures, its animation and the
# colour cycle), views (the lighter turned, and the imported candle from
# behind), candle (the imported candle) and icons; all of them by default.
# Pictures go to OUTPUT_DIR (docs/ by default), the icons to desktop/icons/
# unless OUTPUT_DIR is given. Builds with the CMake preset "default" (in
# build/).
#
#   tools/pictures.sh [readme|views|candle|icons|all] [OUTPUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
case "$what" in
  readme | views | candle | icons | all) ;;
  *) echo "pictures: no pictures named $what (readme, views, candle, icons, all)" >&2; exit 2 ;;
esac
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target lighter_pictures >/dev/null
for kind in readme views candle icons; do
  if [ "$what" = all ] || [ "$what" = "$kind" ]; then
    default=docs
    [ "$kind" = icons ] && default=desktop/icons
    build/tools/pictures/lighter_pictures "$kind" "${2:-$default}"
  fi
done
