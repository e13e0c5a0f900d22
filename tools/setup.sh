#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the demo need.
# Run as root it installs what is missing; otherwise it prints the apt-get line and stops.
set -euo pipefail

packages=(
  # the compiler and the build
  g++ cmake make pkg-config
  # the program: freeglut, GLU, Mesa
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
  # lighter-import (Assimp, meshoptimizer, stb) and the model cache (SHA-256 from nettle)
  libassimp-dev libmeshoptimizer-dev libstb-dev nettle-dev
  # pictures and clips of the window (F12, Shift+F12, --screenshot, --record): PNG through
  # libpng, animated WebP through libwebp's animation encoder (and its decoder in the tests)
  libpng-dev libwebp-dev
  # the unit tests and the benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # the sanitizer build and the fuzzers
  clang libclang-rt-14-dev
  # the style checks of the test command (layers.*): clang-format over the C++ and
  # shellcheck over the shell scripts
  clang-format shellcheck
  # the GL and end-to-end tests: a private X server, clicks, screenshots, GL call traces
  xvfb xdotool x11-apps x11-utils imagemagick apitrace libxdamage-dev
  # the manual pages, the Debian package and its checks, "Open with"
  scdoc man-db gzip dpkg-dev fakeroot file lintian desktop-file-utils appstream xdg-utils shared-mime-info
  coreutils procps time
  # the benchmark runner and the test counts (tools/bench.py, tools/test_counts.py)
  python3
  # the web page (tools/web.sh) and its tests in headless Chromium
  emscripten chromium chromium-driver python3-selenium python3-pil
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all required packages are installed"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: these packages are missing: ${missing[*]}" >&2
  echo "setup: run this as root, then try again:" >&2
  echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
