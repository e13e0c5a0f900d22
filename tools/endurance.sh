#!/usr/bin/env bash
# The long endurance run (tests/e2e/endurance_test.cpp) for SECONDS (600 by
# default): the checked build with the flame lit and the colour cycle on,
# clicked and switched between mesh modes now and then. Builds with the
# CMake preset "default" (in build/), prints the resident-memory and
# per-frame figures and exits non-zero if a check failed.
#
#   tools/endurance.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target e2e_tests lighter_data >/dev/null
LIGHTER_ENDURANCE_SECONDS="${1:-600}" \
  exec build/tests/e2e/e2e_tests --gtest_filter='Endurance.*'
