#!/usr/bin/env bash
# The web page's size and frame rate: builds it (tools/web.sh --build), prints
# the size of each file of build-web/site raw and compressed (gzip -9, as a
# server would send it), then the frames a second the program draws in
# headless Chromium (SwiftShader) at rest, with the flame lit, in wireframe
# and in Lit, 6 s each; then, when the default build has it, the desktop's
# frame_bench on the same machine in the same run (docs/performance.md,
# tools/bench.sh, has the desktop's figures in full).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/web.sh" --build >/dev/null 2>&1 || bash "$root/tools/web.sh" --build
site="$root/build-web/site"

echo "| file | bytes | gzip -9 |"
echo "|---|---:|---:|"
raw_total=0
gz_total=0
for file in "$site"/*; do
  raw=$(stat -c %s "$file")
  gz=$(gzip -9 -c "$file" | wc -c)
  raw_total=$((raw_total + raw))
  gz_total=$((gz_total + gz))
  echo "| $(basename "$file") | $raw | $gz |"
done
echo "| **total** | $raw_total | $gz_total |"
echo
echo "| state (headless Chromium, SwiftShader) | frames/s |"
echo "|---|---:|"
PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 "$root/tests/web/web_page_test.py" measure

desktop="$root/build/tools/bench/frame_bench"
if [ -x "$desktop" ]; then
  echo
  echo "Desktop, the same machine (build/tools/bench/frame_bench, Xvfb, Mesa llvmpipe):"
  "$desktop" "$root/build/data"
fi
