#!/bin/bash
# The Windows build and its tests: cross-compiles the program and every test for 64-bit
# Windows, then runs the tests under Wine on a virtual X display. Exits non-zero on any
# failure. Safe to run again: installs are skipped when present and builds are incremental.
set -euo pipefail
cd "$(dirname "$0")/.."

packages="cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine64 xvfb x11-utils
  imagemagick fonts-wqy-microhei procps"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  run apt-get update -q
  DEBIAN_FRONTEND=noninteractive run apt-get install -y -q --no-install-recommends $missing
fi

build=${ARKIVO_WINDOWS_BUILD:-build-win}
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DARKIVO_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j2

export WINEPREFIX=${WINEPREFIX:-/tmp/arkivo-ci-wine}
xvfb-run -a -s "-screen 0 1024x768x24" .ci/wine-env.sh \
  ctest --test-dir "$build" --output-on-failure --timeout 120 -j2
