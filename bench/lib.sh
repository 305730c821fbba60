# Shared by the benchmark scripts: building the release program, timing commands, medians and
# the result rows that bench/run gathers into its table. Sourced, not run.

bench_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench_build=$bench_root/build-bench

# Builds the release `arkivo` (and, with BENCH=1, the compressor benchmark) once per session.
build_release() {
  local extra=()
  [[ ${BENCH:-0} == 1 ]] && extra=(-DARKIVO_BUILD_BENCH=ON)
  cmake -S "$bench_root" -B "$bench_build" -DCMAKE_BUILD_TYPE=Release -DARKIVO_BUILD_TESTS=OFF \
    "${extra[@]}" >/dev/null
  cmake --build "$bench_build" -j"$(nproc)" --target "${@:-arkivo}" >/dev/null
  arkivo=$bench_build/bin/arkivo
}

# Runs a command and appends its wall seconds to FILE.t, its peak RSS in KiB to FILE.rss and
# its processor seconds to FILE.cpu. The command's exit status is returned, its output
# discarded.
measure() {
  local out=$1 status=0; shift
  /usr/bin/time -f "%e %M %U %S" -o "$out.time" "$@" >/dev/null 2>&1 || status=$?
  local s kib user sys
  read -r s kib user sys < <(tail -n 1 "$out.time")
  echo "$s" >>"$out.t"; echo "$kib" >>"$out.rss"
  awk -v u="$user" -v s="$sys" 'BEGIN {print u + s}' >>"$out.cpu"
  return $status
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
largest() { sort -n | tail -n 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", (b > 0) ? a / b : 0}'; }

# A table row for bench/run: PAIR, MEASURE, OURS, THEIRS, RATIO, FLOOR, GOAL, where FLOOR and
# GOAL are conditions on the ratio such as "<=1.0" or ">=2.0" (or "-" for none).
result() {
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$@" >>"${BENCH_RESULTS:-/dev/stdout}"
}

# The corpus tree and the single-file deflate corpus of the shared benchmark folder.
shared_bench=$(cd "$bench_root/../shared/bench" 2>/dev/null && pwd || true)
ensure_tree_corpus() {
  [[ -d $1 ]] || "$shared_bench/make-corpus.sh" "$1" >&2
}
ensure_deflate_corpus() {
  [[ -f $1 ]] || "$shared_bench/make-deflate-corpus.sh" "$1" >&2
}

# Runs never enter folders whose names begin with "."; these options give the other tools the
# same tree. For diff: -x NAME for each; for find: a prune expression.
dot_folder_names() { find "$1" -mindepth 1 -type d -name '.*' -printf '%f\n' | sort -u; }
