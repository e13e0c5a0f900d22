#!/usr/bin/env bash
# Measures lighter-import and the program on an imported model, and writes the
# section "Importing models" of docs/performance.md (between its
# import_bench.sh markers; the rest of the file, including what
# tools/bench.sh writes, is left as it is).
#
#   tools/import_bench.sh      (builds the CMake preset "bench", a Release build in build-bench/)
#
# Import: the project's candle (tools/shapes/model_gen) at 10 thousand, 100
# thousand and 1 million triangles, as OBJ text, binary STL and binary PLY,
# imported with the default face budget and with none (--max-faces 0), under
# /usr/bin/time -v; stage times from lighter-import -v. Frames: frame_bench on
# the shipped data set and on the imported candle at the default budget, in
# turns. Takes about five minutes.
set -euo pipefail
# shellcheck source=tools/report_section.sh
source "$(dirname "$0")/report_section.sh"  # also sets root, build and report
work=$(mktemp -d /tmp/lighter-import-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

sizes=(10000 100000 1000000)
formats=(obj stl ply)
runs=5
runs_1m=3
frame_rounds=2

echo "import_bench: building (Release) in $build"
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target lighter-import model_gen frame_bench lighter_data >/dev/null
import="$build/importer/lighter-import"
gen="$build/tools/model_gen"

median() { sort -g | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
time_field() { grep "$1" | awk -F': ' '{print $2}'; }  # a line of /usr/bin/time -v
elapsed_ms() { awk -F: '{s=0; for (i=1;i<=NF;i++) s=s*60+$i; printf "%.0f\n", s*1000}'; }
# The milliseconds lighter-import -v gives a stage, summed over its lines.
stage_ms() { sed -n "s/^  $1 .*\[\([0-9]*\) ms CPU\]\$/\1/p" | awk '{s+=$1} END {print s+0}'; }

# --- Import ----------------------------------------------------------------------
echo "import_bench: importing"
rows=""
summary=""
for n in "${sizes[@]}"; do
  for format in "${formats[@]}"; do
    model="$work/candle-$n.$format"
    triangles=$("$gen" candle "$n" "$model" | sed 's/.*: \([0-9]*\) triangles.*/\1/')
    megabytes=$(du -m --apparent-size "$model" | cut -f1)
    count=$runs
    [ "$n" -ge 1000000 ] && count=$runs_1m
    for budget in 20000 0; do
      for run in $(seq "$count"); do
        /usr/bin/time -v "$import" "$model" -o "$work/out" --force -v --max-faces "$budget" \
          >"$work/log-$run.txt" 2>"$work/time-$run.txt"
      done
      faces_out=$(sed -n 's/^Wrote .*: body \([0-9]*\) faces.*/\1/p' "$work/log-1.txt")
      wall=$(for r in $(seq "$count"); do time_field 'Elapsed (wall clock)' <"$work/time-$r.txt" | elapsed_ms; done | median)
      cpu=$(for r in $(seq "$count"); do
        u=$(time_field 'User time' <"$work/time-$r.txt"); s=$(time_field 'System time' <"$work/time-$r.txt")
        awk -v u="$u" -v s="$s" 'BEGIN {printf "%.0f\n", (u + s) * 1000}'
      done | median)
      kb=$(for r in $(seq "$count"); do time_field 'Maximum resident' <"$work/time-$r.txt"; done | median)
      declare -A ms=()
      for stage in read clean simplify frame sort write; do
        ms[$stage]=$(for r in $(seq "$count"); do stage_ms "$stage" <"$work/log-$r.txt"; done | median)
      done
      label=$([ "$budget" = 0 ] && echo "none" || echo "$budget")
      rows+=$(awk -v f="$format" -v mb="$megabytes" -v n="$triangles" -v b="$label" -v o="$faces_out" \
        -v w="$wall" -v c="$cpu" -v r="${ms[read]}" -v cl="${ms[clean]}" -v si="${ms[simplify]}" \
        -v fr="${ms[frame]}" -v so="${ms[sort]}" -v wr="${ms[write]}" -v kb="$kb" 'BEGIN {
          printf "| %s | %d | %d | %s | %d | %d | %d | %d | %d | %d | %d | %d | %d | %.0f |\n",
            f, mb, n, b, o, w, c, r, cl, si, fr + so, wr, r + cl + fr + so + wr, kb / 1024 }')
      rows+=$'\n'
      # At a million triangles and no budget: reading and writing per million.
      if [ "$n" -ge 1000000 ] && [ "$budget" = 0 ]; then
        summary+=$(awk -v f="$format" -v n="$triangles" -v io="$((ms[read] + ms[clean] + ms[frame] + ms[sort] + ms[write]))" 'BEGIN {
          per = io / (n / 1e6)
          printf "| %s | %d | %.0f | %s |\n", f, n, per, per < 1000 ? "met" : "MISSED" }')
        summary+=$'\n'
      fi
    done
  done
done

# --- Frames --------------------------------------------------------------------------
echo "import_bench: frames (about two minutes)"
"$gen" candle 100000 "$work/candle.obj" >/dev/null
"$import" "$work/candle.obj" -o "$work/lighter-data-candle" >/dev/null
imported_faces=$(grep -c '^f ' "$work/lighter-data-candle/lighterBase.m")
shipped_faces=$(( $(grep -c '^f ' "$build/data/lighterBase.m") + $(grep -c '^f ' "$build/data/lighterTop.m") ))
# A row of frame_bench's table: "| state | frames/s | ms/frame | time vs bare loop |".
row_field() { grep "^| $1 |" | awk -F'|' -v k="$2" '{gsub(/[ x]/, "", $k); print $k}'; }
for round in $(seq "$frame_rounds"); do
  "$build/tools/bench/frame_bench" "$build/data" >"$work/frames-shipped-$round.md"
  "$build/tools/bench/frame_bench" "$work/lighter-data-candle" >"$work/frames-imported-$round.md"
done
frame_row() {  # label, files prefix, state
  local fps ratio
  fps=$(cat "$work"/frames-"$2"-*.md | row_field "$3" 3 | median)
  ratio=$(cat "$work"/frames-"$2"-*.md | row_field "$3" 5 | median)
  printf '| %s | %s | %s | %s x |\n' "$1" "$3" "$fps" "$ratio"
}
bare=$(cat "$work"/frames-*.md | row_field "bare clear and swap" 3 | median)

# --- Report --------------------------------------------------------------------------
commit=$(git rev-parse --short HEAD 2>/dev/null || echo "?")
{
  echo "<!-- import_bench.sh: begin (generated by tools/import_bench.sh; do not edit by hand) -->"
  echo "## Importing models"
  echo
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') at commit $commit, Release build, on $(nproc) cores"
  echo "(load average then: $(cut -d' ' -f1-3 /proc/loadavg)) by \`tools/import_bench.sh\`."
  echo
  echo "### lighter-import"
  echo
  echo "The project's candle (\`tools/shapes/model_gen candle N\`) in three formats, imported with the"
  echo "default face budget (20000) and without one; medians of $runs runs ($runs_1m at 1 million)."
  echo "Wall and CPU time and peak resident memory from \`/usr/bin/time -v\`; the stages' CPU times"
  echo "from \`lighter-import -v\` (the machine is shared, so CPU time is the steadier figure): read"
  echo "is Assimp's loader and its post-processing, clean joins"
  echo "vertices by position and drops faces without area, frame and sort place the model"
  echo "through the program's view and order its faces, write makes the data directory."
  echo "Reading and writing is every stage but the simplification; below a million triangles"
  echo "the process's fixed costs (starting it, loading its libraries, about 20 ms) dominate."
  echo
  echo "| format | file MB | triangles | budget | faces out | wall ms | CPU ms | read | clean | simplify | frame+sort | write | reading and writing | peak MB |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  printf '%s' "$rows"
  echo
  echo "The stage columns are CPU milliseconds. Reading and writing a million triangles"
  echo "without a budget, against the aim of well under a second per million:"
  echo
  echo "| format | triangles | CPU ms per million | under a second |"
  echo "|---|---:|---:|---|"
  printf '%s' "$summary"
  echo
  echo "### Frames with an imported model"
  echo
  echo "\`frame_bench\` (see Tools) on the shipped data set ($shipped_faces faces) and on the candle"
  echo "of 100 thousand triangles imported at the default budget ($imported_faces faces), in"
  echo "turns, $frame_rounds runs each; medians of the runs' medians. The bare clear-and-swap loop"
  echo "ran at $bare frames/s."
  echo
  echo "| data set | state | frames/s | time vs bare loop |"
  echo "|---|---|---:|---:|"
  frame_row "shipped lighter" shipped "lighter at rest"
  frame_row "shipped lighter" shipped "flame lit"
  frame_row "imported candle" imported "lighter at rest"
  frame_row "imported candle" imported "flame lit"
  echo "<!-- import_bench.sh: end -->"
} >"$work/section.md"

replace_report_section import_bench.sh "$work/section.md" "$report"
echo "import_bench: wrote $report"
