#!/usr/bin/env bash
# Our deflate at level 8 against zlib and libdeflate at level 8, one thread, on the mixed
# 100 MiB corpus of shared/bench/make-deflate-corpus.sh: size and speed (CPU time of the
# compressing thread, which a busy machine disturbs less than wall time). Needs zlib1g-dev and
# libdeflate-dev.
#
#   bench/deflate/run.sh [CORPUS_FILE] [RUNS]
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
corpus=${1:-/tmp/deflate-corpus.bin}
runs=${2:-3}
ensure_deflate_corpus "$corpus"
BENCH=1 build_release deflate_bench
out=$("$bench_build/bin/deflate_bench" "$corpus" "$runs")
echo "$out" >&2
field() { awk -v name="$1" -v col="$2" '$1 == name {print $col}' <<<"$out"; }
ours_b=$(field arkivo-8 2); zlib_b=$(field zlib-8 2); ld_b=$(field libdeflate-8 2)
ours_s=$(field arkivo-8 5); zlib_s=$(field zlib-8 5); ld_s=$(field libdeflate-8 5)
result "deflate -8 vs zlib -8" "bytes" "$ours_b" "$zlib_b" "$(ratio "$ours_b" "$zlib_b")" "<=1.0" "-"
result "deflate -8 vs zlib -8" "speed MB/s cpu" "$ours_s" "$zlib_s" "$(ratio "$ours_s" "$zlib_s")" ">=2.0" ">=2.5"
result "deflate -8 vs libdeflate -8" "bytes" "$ours_b" "$ld_b" "$(ratio "$ours_b" "$ld_b")" "-" "<=1.0"
result "deflate -8 vs libdeflate -8" "speed MB/s cpu" "$ours_s" "$ld_s" "$(ratio "$ours_s" "$ld_s")" "-" ">=1.3"
