# shellcheck shell=bash
# The performance report is written by more than one script, each owning one
# section between its markers "<!-- NAME: begin -->" and "<!-- NAME: end -->".
# Sourced, not run, by the bench scripts: it also moves to the project's root
# and names what they share.

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
root=$(pwd)
# shellcheck disable=SC2034 # used by the scripts that source this
build="build-bench"  # the bench preset's binary directory
# shellcheck disable=SC2034
report="$root/docs/performance.md"

# Puts the section in file SECTION (markers included) into REPORT in place of
# the one it had, or appends it; a new REPORT starts with the heading "# Performance".
#   replace_report_section NAME SECTION REPORT
replace_report_section() {
  local name=$1 section=$2 report=$3
  mkdir -p "$(dirname "$report")"
  if [ -f "$report" ] && grep -q "<!-- $name: begin" "$report"; then
    awk -v section="$section" -v begin="<!-- $name: begin" -v end="<!-- $name: end" '
      index($0, begin) == 1 {while ((getline line < section) > 0) print line; skip = 1; next}
      index($0, end) == 1 {skip = 0; next}
      !skip {print}' "$report" >"$report.new"
    mv "$report.new" "$report"
  elif [ -f "$report" ]; then
    { echo; cat "$section"; } >>"$report"
  else
    { echo "# Performance"; echo; cat "$section"; } >"$report"
  fi
}
