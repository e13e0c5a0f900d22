#!/usr/bin/env bash
# Sets up, builds and runs every test: unit, GL and end-to-end tests and the
# layer checks in the default build; unit tests, layer checks and the fuzzers'
# corpora again under AddressSanitizer and UndefinedBehaviorSanitizer; then the
# Debian package of the default build, checked and run; last the web page,
# built with Emscripten and run in headless Chromium (the CMake presets
# "default", "sanitize", "package" and "web"). Ends with one summary line.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
jobs=$(nproc)
logs=$(mktemp -d)

bash tools/setup.sh || exit 1

echo "== build (g++)"
if ! { cmake --preset default >/dev/null && cmake --build --preset default -j"$jobs"; }; then
  echo "build failed"
  exit 1
fi

echo "== build with sanitizers and fuzzers (clang)"
if ! { cmake --preset sanitize >/dev/null && cmake --build --preset sanitize -j"$jobs"; }; then
  echo "sanitizer build failed"
  exit 1
fi

echo "== unit, GL and end-to-end tests"
ctest --preset default -j"$jobs" 2>&1 | tee "$logs/main.log"
echo "== unit tests and fuzz corpora under the sanitizers"
ctest --preset sanitize -j"$jobs" 2>&1 | tee "$logs/sanitized.log"
echo "== the Debian package: built, checked and run"
ctest --preset package -j"$jobs" 2>&1 | tee "$logs/package.log"
echo "== the web page: built with Emscripten, run in headless Chromium"
ctest --preset web 2>&1 | tee "$logs/web.log"

# ctest closes with "NN% tests passed, F tests failed out of T", and lists
# a skipped test (counted there as passed) with "(Skipped)".
count() { sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$1" | tail -n 1; }
passed=0
failed=0
skipped=0
for log in "$logs/main.log" "$logs/sanitized.log" "$logs/package.log" "$logs/web.log"; do
  read -r f t < <(count "$log") || { f=1; t=1; echo "no test summary in $log"; }
  s=$(grep -c '(Skipped)$' "$log" || true)
  passed=$((passed + t - f - s))
  failed=$((failed + f))
  skipped=$((skipped + s))
done
rm -rf "$logs"
if [ "$skipped" -gt 0 ]; then
  echo "Summary: $passed passed, $failed failed, $skipped skipped"
else
  echo "Summary: $passed passed, $failed failed"
fi
[ "$failed" -eq 0 ]
