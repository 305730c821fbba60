#!/usr/bin/env bash
# Our deflate at level 8 against zlib and libdeflate at level 8, one thread, on the mixed
# 100 MiB corpus of shared/bench/make-deflate-corpus.sh. Needs zlib1g-dev and libdeflate-dev.
#
#   bench/deflate/run.sh [CORPUS_FILE] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
corpus=${1:-/tmp/deflate-corpus.bin}
runs=${2:-3}
[[ -f $corpus ]] || "$root/../shared/bench/make-deflate-corpus.sh" "$corpus" >&2
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DARKIVO_BUILD_TESTS=OFF \
  -DARKIVO_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build-bench" -j"$(nproc)" --target deflate_bench >/dev/null
"$root/build-bench/bin/deflate_bench" "$corpus" "$runs"
