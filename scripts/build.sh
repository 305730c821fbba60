#!/bin/sh
# Configures and builds Arkivo for Linux into build/.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DARKIVO_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build -j"$(nproc)"
