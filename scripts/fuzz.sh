#!/bin/sh
# Builds the fuzz targets with clang-14 (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each one from its seed corpus in tests/fuzz/corpus/.
#
#   scripts/fuzz.sh                 each target for 20 seconds (what CI runs)
#   scripts/fuzz.sh 600             each target for 600 seconds
#   scripts/fuzz.sh --runs 10000000 each target for that many executions
#   FUZZ_TARGETS="fuzz_inflater" scripts/fuzz.sh 60    only the targets named
#   FUZZ_MAX_LEN=4096 scripts/fuzz.sh --runs 10000000   inputs of at most 4096 bytes (default 65536)
#
# The corpus a run grows is kept in build-fuzz/fuzz-corpus/<target>/, so a later run goes on
# from it; the seeds in the repository stay as they are. An input that breaks a target is
# written to build-fuzz/fuzz-findings/<target>/ and the script fails.
set -eu
cd "$(dirname "$0")/.."
limit="-max_total_time=${1:-20}"
if [ "${1:-}" = "--runs" ]; then
  limit="-runs=$2"
fi
build="$(pwd)/build-fuzz"
seeds="$(pwd)/tests/fuzz/corpus"
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DARKIVO_FUZZ=ON -DARKIVO_BUILD_TESTS=OFF -DARKIVO_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j2 --target arkivo_fuzz_targets
targets="${FUZZ_TARGETS:-fuzz_environment_file fuzz_ini_reader fuzz_ini_round_trip
  fuzz_archive_verify fuzz_inflater fuzz_deflate_round_trip fuzz_ftp_replies}"
status=0
for target in $targets; do
  corpus="$build/fuzz-corpus/$target"
  findings="$build/fuzz-findings/$target"
  mkdir -p "$corpus" "$findings"
  echo "== $target ($limit)"
  # -rss_limit_mb: a reader that holds what a hostile input declares, not what it holds, fails.
  if ! "$build/bin/$target" "$limit" -rss_limit_mb=1024 -max_len="${FUZZ_MAX_LEN:-65536}" -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "$seeds/$target" \
      2>"$build/fuzz-$target.log"; then
    status=1
    echo "$target FAILED: see $build/fuzz-$target.log and $findings/"
  fi
  grep -E "^stat::number_of_executed_units|^Done [0-9]+ runs" "$build/fuzz-$target.log" || true
done
exit $status
