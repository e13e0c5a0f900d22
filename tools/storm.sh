#!/usr/bin/env bash
# The storm (tests/e2e/storm_test.cpp) for MINUTES (3 by default) of random
# events from SEED (13 by default) against the checked build compiled with
# UndefinedBehaviorSanitizer. Builds with the CMake preset "default" (in
# build/), prints the figures and exits non-zero if a check failed. The test
# suite runs one minute of it.
#
#   tools/storm.sh [MINUTES] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target e2e_tests lighter_data >/dev/null
LIGHTER_STORM_MINUTES="${1:-3}" LIGHTER_STORM_SEED="${2:-13}" \
  exec build/tests/e2e/e2e_tests --gtest_filter='Storm.*'
