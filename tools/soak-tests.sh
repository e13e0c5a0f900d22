#!/usr/bin/env bash
# Runs the GL and end-to-end tests N times (20 by default) with `ctest -j2`
# while two busy loops load the CPUs, then prints the failures per test. A
# test that fails here once in twenty runs will block a landing sooner or
# later. Exits non-zero if any test failed; the logs of failed runs are kept.
#
#   tools/soak-tests.sh [N]      (builds the CMake preset "default", in build/)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
runs="${1:-20}"

if [ ! -f build/CMakeCache.txt ]; then
  bash tools/setup.sh || exit 1
fi
if ! { cmake --preset default >/dev/null && cmake --build --preset default -j2 >/dev/null; }; then
  echo "build failed"
  exit 1
fi

logs=$(mktemp -d /tmp/lighter-soak-XXXXXX)
busy=()
stopLoad() {
  [ "${#busy[@]}" -gt 0 ] && kill "${busy[@]}" 2>/dev/null
  wait "${busy[@]}" 2>/dev/null
  busy=()
}
trap stopLoad EXIT
trap 'echo "interrupted"; exit 130' INT TERM
for _ in 1 2; do
  (while :; do :; done) &
  busy+=("$!")
done

declare -A failures=()
for ((run = 1; run <= runs; run++)); do
  log="$logs/run-$run.log"
  ctest --preset default -R '^(gl|e2e)\.' -j2 >"$log" 2>&1
  # ctest lists each failed test as "  12 - e2e.Some.Test (Failed)".
  failed=$(sed -n '/The following tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' "$log")
  if ! grep -q 'tests passed' "$log"; then failed="${failed:-ctest-did-not-finish}"; fi
  for name in $failed; do failures[$name]=$((${failures[$name]:-0} + 1)); done
  if [ -z "$failed" ]; then
    rm -f "$log"
    echo "run $run/$runs: passed (load average $(cut -d' ' -f1 /proc/loadavg))"
  else
    echo "run $run/$runs: failed: ${failed//$'\n'/ } (log: $log)"
  fi
done
stopLoad

echo "failures per test in $runs runs:"
if [ "${#failures[@]}" -eq 0 ]; then
  echo "  none"
  rmdir "$logs" 2>/dev/null
  exit 0
fi
for name in "${!failures[@]}"; do echo "  $name: ${failures[$name]}"; done | sort
exit 1
