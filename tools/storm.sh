#!/usr/bin/env bash
# The storm test: the checked build of the program, compiled with
# UndefinedBehaviorSanitizer (lighter_storm), under its own Xvfb for MINUTES
# (3 by default) of random events from a fixed seed (13 by default); see
# tools/storm/run.sh for the events and the checks. Prints the figures and
# exits non-zero if a check failed. Builds what it needs with the CMake
# preset "default" (in build/).
#
#   tools/storm.sh [MINUTES] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-3}"
seed="${2:-13}"
build=build  # the default preset's binary directory
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target lighter_storm lighter_data >/dev/null
exec tools/storm/run.sh "$build/tools/checked/lighter_storm" "$build/data" $((minutes * 60)) "$seed"
