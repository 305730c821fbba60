#!/bin/sh
# Builds Arkivo and runs every test: the Linux suite, then the Windows build and its tests
# under Wine.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
./.ci/windows-tests.sh
echo "All tests passed."
