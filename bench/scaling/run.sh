#!/usr/bin/env bash
# How the cost of a run grows with the tree: a synchronisation job's first run and its run with
# nothing to copy, on generated trees of 10^4, 10^5 and 10^6 small files (kept in
# /tmp/arkivo-scale-N between sessions). Reports the cost per file at each size against the
# smallest tree, and the peak memory at the largest.
#
#   bench/scaling/run.sh [LARGEST] [RUNS]      LARGEST: 100000 or 1000000 (default)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
largest_count=${1:-1000000}
runs=${2:-3}
work=$(mktemp -d /tmp/arkivo-scalebench.XXXXXX)
trap 'rm -rf "$work"' EXIT
build_release

per_file_us() { awk -v s="$1" -v n="$2" 'BEGIN {printf "%.2f", s * 1e6 / n}'; }

declare -A first nochange rss
counts=()
for ((count = 10000; count <= largest_count; count *= 10)); do counts+=("$count"); done
for count in "${counts[@]}"; do
  tree=/tmp/arkivo-scale-$count
  if [[ ! -f $tree/.complete ]]; then
    rm -rf "$tree"
    python3 "$(dirname "$0")/make-tree.py" "$tree" "$count"
  fi
  find "$tree" -printf '' # dentries and inodes into the cache
  for ((i = 0; i < runs; i++)); do
    rm -rf "$work/target" "$work/home"
    "$arkivo" --home "$work/home" jobs add "$tree" "$work/target" >/dev/null
    measure "$work/first-$count" "$arkivo" --home "$work/home" run
    measure "$work/nochange-$count" "$arkivo" --home "$work/home" run
  done
  first[$count]=$(per_file_us "$(median <"$work/first-$count.t")" "$count")
  nochange[$count]=$(per_file_us "$(median <"$work/nochange-$count.t")" "$count")
  rss[$count]=$(cat "$work/first-$count.rss" "$work/nochange-$count.rss" | largest |
    awk '{printf "%.1f", $1 / 1024}')
  echo "$count files: first run ${first[$count]} us/file, no change ${nochange[$count]} us/file, peak ${rss[$count]} MiB" >&2
done
small=${counts[0]}
for count in "${counts[@]:1}"; do
  label="scaling $(printf '%.0e' "$count" | sed 's/1e+0*/10^/') vs 10^4 files"
  result "$label" "first run us/file" "${first[$count]}" "${first[$small]}" \
    "$(ratio "${first[$count]}" "${first[$small]}")" "<=2.0" "<=1.2"
  result "$label" "no-change us/file" "${nochange[$count]}" "${nochange[$small]}" \
    "$(ratio "${nochange[$count]}" "${nochange[$small]}")" "<=2.0" "<=1.2"
  result "$label" "peak RSS MiB" "${rss[$count]}" "${rss[$small]}" \
    "$(ratio "${rss[$count]}" "${rss[$small]}")" "-" "ours<=100"
done
