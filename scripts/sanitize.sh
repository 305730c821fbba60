#!/bin/sh
# Builds Arkivo and its tests with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ and runs the native suite there. The multi-GiB ZIP64 tests (label "slow")
# and the crash tests stay with the plain build: under the sanitizers they take many minutes
# and check nothing the plain runs do not. Warnings are the plain build's business: with the
# sanitizers GCC warns of uninitialised values inside the standard library's own templates.
set -eu
cd "$(dirname "$0")/.."
# -O1 without debug information: the sanitizers' stack traces still name functions and lines,
# and the build takes half the time of an optimised one with debug information.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1" \
  -DARKIVO_SANITIZE=ON -DARKIVO_WARNINGS_AS_ERRORS=OFF >/dev/null
cmake --build build-sanitize -j"$(nproc)"
# Every child `arkivo` the tests start inherits these: a leak or undefined behaviour there
# fails its test as well.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:exitcode=99:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:exitcode=98"
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" -LE "slow|crash"
