#!/usr/bin/env bash
# Runs every benchmark and writes the measured part of docs/performance.md
# (between its "bench.sh" markers; the rest of the file is left as it is).
#
#   tools/bench.sh      (builds the CMake preset "bench", a Release build in build-bench/)
#
# Frames: frame_bench (its own Xvfb, the states interleaved with a bare
# clear-and-swap loop), also on the project's candle of 20,000 faces imported
# with lighter-import, for Lit's frame time over Smooth's. Start-up: lighter_checked ending after its first frame,
# under /usr/bin/time -v. Mesh reading: mesh_read on generated meshes of 10
# thousand, 100 thousand and 1 million faces, output to /dev/null, under
# /usr/bin/time -v. Micro-benchmarks: cpu_bench (Google Benchmark). GL calls
# of one frame: apitrace. Takes about three minutes.
set -euo pipefail
# shellcheck source=tools/report_section.sh
source "$(dirname "$0")/report_section.sh"  # also sets root, build and report
work=$(mktemp -d /tmp/lighter-bench-XXXXXX)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

startup_runs=9
mesh_sizes=(10000 100000 1000000)
mesh_runs=11
mesh_runs_1m=5

echo "bench: building (Release) in $build"
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target lighter lighter_checked lighter_data frame_bench \
  cpu_bench mesh_gen mesh_read model_gen lighter-import >/dev/null
bin="$build/tools/bench"
data="$build/data"

median() { sort -g | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
field() { grep -o "$1 [0-9][0-9.]*" | awk '{print $2}'; }  # "name value" pairs
time_field() { grep "$1" | awk -F': ' '{print $2}'; }  # a line of /usr/bin/time -v

# Elapsed "h:mm:ss" or "m:ss.ss" of /usr/bin/time -v, in milliseconds.
elapsed_ms() { awk -F: '{s=0; for (i=1;i<=NF;i++) s=s*60+$i; printf "%.0f\n", s*1000}'; }

start_xvfb() {
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  DISPLAY=":$(head -n1 "$work/display")"
  export DISPLAY
}

# --- Frames ------------------------------------------------------------------
echo "bench: frames (about a minute)"
"$bin/frame_bench" "$data" >"$work/frames.md"

# --- Lit and Smooth on an imported model ---------------------------------------------
# The project's candle of about 20,000 faces, imported with the default face
# budget: frame_bench's Lit-over-Smooth ratios on it, from one run.
echo "bench: Lit and Smooth on an imported 20,000-face model"
"$build/importer/model_gen" candle 20000 "$work/candle.obj" >/dev/null
"$build/importer/lighter-import" "$work/candle.obj" -o "$work/candle" >/dev/null
candle_faces=$(grep -c '^f ' "$work/candle/lighterBase.m")
candle_ratios=$("$bin/frame_bench" "$work/candle" --lit-ratios)
candle_rest=$(echo "$candle_ratios" | field lit_over_smooth_rest)
candle_flame=$(echo "$candle_ratios" | field lit_over_smooth_flame)
shipped_rest=$(sed -n 's/.*Lit over Smooth.*\*\*\([0-9.]*\)\*\* at rest.*/\1/p' "$work/frames.md")
lit_shipped_verdict=$(awk -v r="$shipped_rest" 'BEGIN {print (r <= 1.0) ? "met" : "MISSED"}')
lit_candle_verdict=$(awk -v r="$candle_rest" 'BEGIN {print (r <= 0.75) ? "met" : "MISSED"}')

# --- Start-up ----------------------------------------------------------------
echo "bench: start-up"
start_xvfb
checked=$(readlink -f "$build/tools/checked/lighter_checked")
for i in $(seq "$startup_runs"); do
  (cd "$data" && LIGHTER_EXIT_AFTER_FRAMES=1 LIGHTER_LAUNCH_NS=$(date +%s%N) \
    /usr/bin/time -v "$checked" >/dev/null 2>"$work/startup-$i.txt")
done
startup_lines=$(cat "$work"/startup-*.txt | grep 'first frame swapped')
first_frame=$(echo "$startup_lines" | sed 's/.*swapped \([0-9.]*\) ms.*/\1/')
main_ms=$(echo "$startup_lines" | sed 's/.*main entered at \([0-9.]*\) ms.*/\1/' | median)
startup_done_ms=$(echo "$startup_lines" | sed 's/.*start-up done at \([0-9.]*\) ms.*/\1/' | median)
startup_ms=$(echo "$first_frame" | median)
startup_min=$(echo "$first_frame" | sort -g | head -n1)
startup_max=$(echo "$first_frame" | sort -g | tail -n1)
process_ms=$(for f in "$work"/startup-*.txt; do time_field 'Elapsed (wall clock)' <"$f" | elapsed_ms; done | median)
startup_rss=$(for f in "$work"/startup-*.txt; do time_field 'Maximum resident' <"$f"; done | median)
startup_verdict=$(awk -v m="$startup_ms" 'BEGIN {print (m < 150) ? "met" : "MISSED"}')

# --- GL calls of one frame ----------------------------------------------------
echo "bench: GL calls of one frame"
gl_calls="(apitrace not available)"
if command -v apitrace >/dev/null; then
  (cd "$data" && LIGHTER_EXIT_AFTER_FRAMES=3 apitrace trace -o "$work/frame.trace" "$checked" \
    >/dev/null 2>&1) || true
  # The calls between the first and the second swap: one whole frame at rest.
  gl_calls=$(apitrace dump --color=never "$work/frame.trace" 2>/dev/null |
    awk '/glXSwapBuffers/ {n++; next} n == 1' |
    sed -n 's/^[0-9]* \(gl[A-Za-z0-9]*\)(.*/\1/p' | sort | uniq -c |
    awk '{printf "| %s | %d |\n", $2, $1}')
fi
kill "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""

# --- Mesh reading --------------------------------------------------------------
echo "bench: mesh reading"
: >"$work/empty.m"
for run in 1 2 3; do
  /usr/bin/time -v "$bin/mesh_read" "$work/empty.m" >/dev/null 2>"$work/empty-$run.txt"
done
base_kb=$(for run in 1 2 3; do time_field 'Maximum resident' <"$work/empty-$run.txt"; done | median)
mesh_rows=""
per_face_ns=()
per_face_min_ns=()
for n in "${mesh_sizes[@]}"; do
  "$bin/mesh_gen" "$n" "$work/mesh-$n.m"
  runs=$mesh_runs
  [ "$n" -ge 1000000 ] && runs=$mesh_runs_1m
  for run in $(seq "$runs"); do
    /usr/bin/time -v "$bin/mesh_read" "$work/mesh-$n.m" >/dev/null 2>"$work/read-$n-$run.txt"
  done
  faces=$(field faces <"$work/read-$n-1.txt")
  cpu=$(cat "$work"/read-"$n"-*.txt | field cpu | median)
  cpu_min=$(cat "$work"/read-"$n"-*.txt | field cpu | sort -g | head -n1)
  wall=$(cat "$work"/read-"$n"-*.txt | field wall | median)
  kb=$(for f in "$work"/read-"$n"-*.txt; do time_field 'Maximum resident' <"$f"; done | median)
  row=$(awk -v n="$faces" -v c="$cpu" -v cm="$cpu_min" -v w="$wall" -v kb="$kb" -v base="$base_kb" 'BEGIN {
    fps = n / c; bpf = (kb - base) * 1024 / n
    printf "| %d | %.1f | %.1f | %.2f M | %.2f M | %.0f | %.0f | %.1f |", n, c * 1000, w * 1000, fps / 1e6, n / w / 1e6, c / n * 1e9, cm / n * 1e9, bpf
    ok = (fps >= 1e6 && bpf <= 100) ? 1 : 0
    printf " %s |\n", ok ? "met" : "MISSED" }')
  mesh_rows+="$row"$'\n'
  per_face_ns+=("$(awk -v n="$faces" -v c="$cpu" 'BEGIN {printf "%.1f", c / n * 1e9}')")
  per_face_min_ns+=("$(awk -v n="$faces" -v c="$cpu_min" 'BEGIN {printf "%.1f", c / n * 1e9}')")
done
flatness=$(printf '%s\n' "${per_face_ns[@]}" | sort -g | awk '{v[NR]=$1} END {printf "%.2f", v[NR]/v[1]}')
flatness_min=$(printf '%s\n' "${per_face_min_ns[@]}" | sort -g | awk '{v[NR]=$1} END {printf "%.2f", v[NR]/v[1]}')
flat_verdict=$(awk -v f="$flatness" 'BEGIN {print (f <= 1.2) ? "met" : "MISSED"}')
flat_min_verdict=$(awk -v f="$flatness_min" 'BEGIN {print (f <= 1.2) ? "met" : "MISSED"}')

# --- Micro-benchmarks --------------------------------------------------------------
echo "bench: micro-benchmarks"
"$bin/cpu_bench" "$work/cpu.txt" --benchmark_min_time=0.3 >/dev/null
micro=$(grep -E '^(BM_|-|Benchmark)' "$work/cpu.txt")

# --- Report --------------------------------------------------------------------
commit=$(git rev-parse --short HEAD 2>/dev/null || echo "?")
{
  echo "<!-- bench.sh: begin (generated by tools/bench.sh; do not edit by hand) -->"
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') at commit $commit, Release build, on $(nproc) cores"
  echo "(load average then: $(cut -d' ' -f1-3 /proc/loadavg))."
  echo
  cat "$work/frames.md"
  echo "### Lit and Smooth"
  echo
  echo "Frame time in Lit over that in Smooth, the two measured side by side in the same"
  echo "repetitions of \`frame_bench\` (medians of the per-repetition ratios)."
  echo
  echo "| model | at rest | flame lit | budget at rest |"
  echo "|---|---:|---:|---|"
  echo "| shipped lighter | **$shipped_rest** | $(sed -n 's/.*\*\* at rest, \*\*\([0-9.]*\)\*\*.*/\1/p' "$work/frames.md") | <= 1.00: $lit_shipped_verdict |"
  echo "| imported candle, $candle_faces faces | **$candle_rest** | $candle_flame | <= 0.75: $lit_candle_verdict |"
  echo
  echo "### Start-up"
  echo
  echo "Process start to the first swapped frame, shipped data set, $startup_runs runs of"
  echo "\`lighter_checked\` with LIGHTER_EXIT_AFTER_FRAMES=1 under \`/usr/bin/time -v\`."
  echo
  echo "| figure | value |"
  echo "|---|---:|"
  echo "| first frame swapped, median | **$startup_ms ms** (budget < 150 ms: $startup_verdict) |"
  echo "| first frame swapped, fastest and slowest | $startup_min ms, $startup_max ms |"
  echo "| of which: \`main\` entered (process and libraries loaded), median | $main_ms ms |"
  echo "| of which: \`startUp\` returned (window and GL driver, menus, textures, meshes), median | $startup_done_ms ms |"
  echo "| whole process to its exit after that frame, median | $process_ms ms |"
  echo "| peak resident memory | $startup_rss kB |"
  echo
  echo "### Mesh reading"
  echo
  echo "\`mesh_read\` reads and prepares one generated mesh as start-up does, standard output"
  echo "to /dev/null; medians of $mesh_runs runs ($mesh_runs_1m at 1 million). Faces per second"
  echo "by CPU time (the machine is shared; wall time beside it). Bytes per face: peak"
  echo "resident memory less that of reading an empty file ($base_kb kB)."
  echo
  echo "| faces | CPU ms | wall ms | faces/s (CPU) | faces/s (wall) | ns/face (CPU) | ns/face, fastest run | bytes/face | budget |"
  echo "|---:|---:|---:|---:|---:|---:|---:|---:|---|"
  printf '%s' "$mesh_rows"
  echo
  echo "Cost per face, slowest size over cheapest: **$flatness** by the medians (budget within 1.20:"
  echo "$flat_verdict), **$flatness_min** by each size's fastest run ($flat_min_verdict). The fastest run is"
  echo "the cost without the interference of the machine's other work."
  echo
  echo "### GL calls of one frame at rest"
  echo
  echo "Calls between the first and the second buffer swap of \`lighter_checked\`, recorded with apitrace."
  echo
  echo "| call | count |"
  echo "|---|---:|"
  echo "$gl_calls"
  echo
  echo "### Micro-benchmarks (Google Benchmark)"
  echo
  echo '```'
  echo "$micro"
  echo '```'
  echo "<!-- bench.sh: end -->"
} >"$work/section.md"

replace_report_section bench.sh "$work/section.md" "$report"
echo "bench: wrote $report"
echo "bench: Lit over Smooth at rest: shipped lighter $shipped_rest ($lit_shipped_verdict), imported candle of $candle_faces faces $candle_rest ($lit_candle_verdict)"
echo "bench: start-up $startup_ms ms ($startup_verdict); mesh reading per-face flatness $flatness ($flat_verdict), fastest runs $flatness_min ($flat_min_verdict)"
