#!/bin/sh
# Builds Arkivo and runs every test: the Linux suite, the Windows build and its tests under
# Wine, the crash tests (label "crash", 20 kills), the Linux suite again under AddressSanitizer
# and UndefinedBehaviorSanitizer, and each fuzz target for a few seconds.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE crash
./.ci/windows-tests.sh
ctest --test-dir build --output-on-failure -L crash
./scripts/sanitize.sh
./scripts/fuzz.sh 12
echo "All tests passed."
