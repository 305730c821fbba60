#!/bin/sh
# Builds Arkivo and runs every test: the Linux suite, then the Windows build and its tests
# under Wine. The crash tests (label "crash") and the fuzz targets run apart, from .ci/run.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE crash
./.ci/windows-tests.sh
echo "All tests passed."
