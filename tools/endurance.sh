#!/usr/bin/env bash
# The long endurance run: the checked build under its own Xvfb for 600 s (or
# the seconds given as the first argument) with the flame lit and the colour
# cycle on, clicked and switched between mesh modes now and then. Prints the
# resident-memory and per-frame figures; exits non-zero if a check failed.
# Builds what it needs with the CMake preset "default" (in build/).
#
#   tools/endurance.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
build=build  # the default preset's binary directory
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target e2e_tests lighter_checked lighter_data >/dev/null
start=$(date +%s)
status=0
LIGHTER_ENDURANCE_SECONDS="$seconds" "$build/tests/e2e/e2e_tests" \
  --gtest_filter='Endurance.*' >"$build/endurance.log" 2>&1 || status=$?
echo "endurance: ran $(( $(date +%s) - start )) s in all (log: $build/endurance.log)"
grep -E '^endurance:|Failure|Expected|Which is|grew' "$build/endurance.log" || true
if [ "$status" -eq 0 ]; then echo "endurance: passed"; else echo "endurance: FAILED"; fi
exit "$status"
