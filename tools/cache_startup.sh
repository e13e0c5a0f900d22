#!/usr/bin/env bash
# Start-up of a second `lighter MODEL` (the model taken from the cache), for
# builds of lighter_checked compared with the first one given:
#
#   tools/cache_startup.sh [-n RUNS] BASELINE_CHECKED OTHER_CHECKED...
#
# e.g. a build without the cache's check as the baseline and one with it.
# Each binary is the lighter_checked of a build tree; the models come from
# this tree's build (build/): the project's candle at the shipped lighter's
# size, the lighter case at the importer's default face budget, and the
# striped candle with a 1024 by 1024 texture, whose entry holds a 3 MB
# modelTexture.bmp. Every model is imported once by the first OTHER binary
# (so its entry has what that build writes), then the binaries take turns,
# RUNS times each (default 21), on their own private Xvfb. Prints the median
# time from launch to the first frame per model and binary, and each
# binary's median over the baseline's; then, from this tree's build, what
# the check itself takes on each entry, by sizes and with SHA-256
# (cache_check_bench, Google Benchmark).
set -euo pipefail
runs=21
if [ "${1:-}" = "-n" ]; then
  runs=$2
  shift 2
fi
if [ $# -lt 2 ]; then
  echo "usage: $0 [-n RUNS] BASELINE_CHECKED OTHER_CHECKED..." >&2
  exit 2
fi
binaries=()
for b in "$@"; do binaries+=("$(readlink -f "$b")"); done
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
work=$(mktemp -d /tmp/lighter-cache-startup-XXXXXX)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY
export XDG_CACHE_HOME="$work/cache"
export LIGHTER_IMPORT="$build/importer/lighter-import"

mkdir -p "$work/models/textured"
"$build/tools/model_gen" candle 3400 "$work/models/shipped-size.obj" >/dev/null
"$build/tools/model_gen" case 20000 "$work/models/budget-size.obj" >/dev/null
"$build/tools/model_looks/look_gen" striped-candle "$work/models/textured/candle.obj" >/dev/null
# The same stripes, 1024 by 1024: the largest texture an entry holds.
png=$(sed -n 's/^map_Kd //p' "$work/models/textured/candle.mtl")
convert -size 1024x1024 xc: -fx '((i+j)/128)%2 ? 0.9 : 0.2' "$work/models/textured/$png"
models=("$work/models/shipped-size.obj" "$work/models/budget-size.obj"
        "$work/models/textured/candle.obj")

# Milliseconds from launch to the first frame, as lighter_checked reports it.
startup_ms() {
  LIGHTER_EXIT_AFTER_FRAMES=1 LIGHTER_LAUNCH_NS=$(date +%s%N) "$1" "$2" 2>&1 >/dev/null |
    sed -n 's/^first frame swapped \([0-9.]*\) ms after launch.*/\1/p'
}
median() { sort -g | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }

for model in "${models[@]}"; do
  startup_ms "${binaries[1]}" "$model" >/dev/null  # the import, by a build that checks
  entry=$(find "$XDG_CACHE_HOME/lighter" -mindepth 1 -maxdepth 1 -type d -not -name '.*' | head -n1)
  echo "$(basename "$model"): entry of $(du -sb "$entry" | cut -f1) bytes," \
       "largest file $(find "$entry" -type f -printf '%s %P\n' | sort -n | tail -n1)"
  for b in "${!binaries[@]}"; do : >"$work/times-$b"; done
  for _ in $(seq "$runs"); do
    for b in "${!binaries[@]}"; do startup_ms "${binaries[$b]}" "$model" >>"$work/times-$b"; done
  done
  base=$(median <"$work/times-0")
  for b in "${!binaries[@]}"; do
    m=$(median <"$work/times-$b")
    printf '  %-60s median %7.2f ms  over the baseline %.3f\n' "${binaries[$b]}" "$m" \
      "$(awk -v m="$m" -v b="$base" 'BEGIN {print m / b}')"
  done
  "$build/tools/bench/cache_check_bench" "$(basename "$model" .obj)=$entry" \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null |
    grep -E '_(median|stddev) '
  rm -rf "$XDG_CACHE_HOME"
done
