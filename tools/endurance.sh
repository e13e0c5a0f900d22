#!/usr/bin/env bash
# The long endurance run: the checked build under its own Xvfb for 600 s (or
# the seconds given as the first argument) with the flame lit and the colour
# cycle on, clicked and switched between mesh modes now and then. Prints the
# resident-memory and per-frame figures; exits non-zero if a check failed.
#
#   tools/endurance.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
build="${2:-build}"
if [ ! -x "$build/tests/e2e/e2e_tests" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target e2e_tests lighter_checked lighter_data >/dev/null
start=$(date +%s)
status=0
LIGHTER_ENDURANCE_SECONDS="$seconds" "$build/tests/e2e/e2e_tests" \
  --gtest_filter='Endurance.*' >"$build/endurance.log" 2>&1 || status=$?
echo "endurance: ran $(( $(date +%s) - start )) s in all (log: $build/endurance.log)"
grep -E '^endurance:|Failure|Expected|Which is|grew' "$build/endurance.log" || true
if [ "$status" -eq 0 ]; then echo "endurance: passed"; else echo "endurance: FAILED"; fi
exit "$status"
