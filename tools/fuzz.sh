#!/usr/bin/env bash
# A longer fuzzing run of one reader: tools/fuzz.sh mesh|bmp|importer|manifest [RUNS]
# Builds the fuzzer of the CMake preset "sanitize" (in build-fuzz/) if needed
# and runs it on one core from a scratch copy of its seed corpus; a crash
# input lands in the current folder (add it to tests/fuzz/corpus/NAME/ once
# fixed, so every test run replays it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
name=${1:?usage: tools/fuzz.sh mesh|bmp|importer|manifest [RUNS]}
runs=${2:-10000000}
case "$name" in
  mesh) max_len=12000 ;;
  bmp) max_len=2048 ;;
  importer) max_len=1200 ;;  # 64 vertices and about 140 faces
  manifest) max_len=2048 ;;  # a cache manifest of some twenty files
  *) echo "fuzz: no fuzzer named $name (mesh, bmp, importer, manifest)" >&2; exit 2 ;;
esac

bash "$root/tools/setup.sh"
(cd "$root" && cmake --preset sanitize >/dev/null &&
  cmake --build --preset sanitize -j"$(nproc)" --target "${name}_fuzz")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/build-fuzz/tests/fuzz/${name}_fuzz" -runs="$runs" -max_len="$max_len" \
  -print_final_stats=1 "$work" "$root/tests/fuzz/corpus/$name"
