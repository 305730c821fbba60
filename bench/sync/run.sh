#!/usr/bin/env bash
# Times a synchronisation job of `arkivo run` against the usual tools on the benchmark tree:
# the first run (fresh target) against `cp -a`, and a run with nothing to copy against the
# no-change pass of `rsync -a`. Runs alternate, inputs stay in the page cache, and the
# medians are compared.
#
#   bench/sync/run.sh [CORPUS_DIR] [RUNS]
#
# CORPUS_DIR defaults to /tmp/arkivo-corpus and is built with shared/bench/make-corpus.sh
# when missing. Needs rsync.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
corpus=${1:-/tmp/arkivo-corpus}
runs=${2:-5}
work=$(mktemp -d /tmp/arkivo-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

if [[ ! -d $corpus ]]; then
  "$root/../shared/bench/make-corpus.sh" "$corpus" >&2
fi
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DARKIVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build-bench" -j"$(nproc)" --target arkivo >/dev/null
arkivo=$root/build-bench/bin/arkivo

seconds() { local s e; s=$(date +%s.%N); "$@" >/dev/null 2>&1; e=$(date +%s.%N); echo "$e - $s" | bc; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

arkivo_sync() { "$arkivo" --home "$2" run; }  # TARGET HOME

cp -a "$corpus" "$work/warm" && rm -rf "$work/warm"    # page cache
files=$(find "$corpus" -type f | wc -l)
bytes=$(du -sb "$corpus" | cut -f1)
echo "corpus: $corpus, $files files, $bytes bytes; $runs runs each" >&2

: >"$work/cp.t"; : >"$work/ark.t"
for ((i = 0; i < runs; i++)); do
  rm -rf "$work/cp" "$work/ark" "$work/home"
  seconds cp -a "$corpus" "$work/cp" >>"$work/cp.t"
  rm -rf "$work/cp"
  "$arkivo" --home "$work/home" jobs add "$corpus" "$work/ark" >/dev/null
  seconds arkivo_sync "$work/ark" "$work/home" >>"$work/ark.t"
done
# Runs never enter folders whose names begin with "."; leave those out of the comparison.
excludes=()
while IFS= read -r name; do excludes+=(-x "$name"); done < <(find "$corpus" -mindepth 1 -type d -name '.*' -printf '%f\n' | sort -u)
diff -r "${excludes[@]}" "$corpus" "$work/ark" >/dev/null ||
  { echo "error: the copy differs from the corpus" >&2; exit 1; }

rsync -a "$corpus/" "$work/rs/"
: >"$work/rs.t"; : >"$work/nochange.t"
for ((i = 0; i < runs; i++)); do
  seconds rsync -a "$corpus/" "$work/rs/" >>"$work/rs.t"
  seconds arkivo_sync "$work/ark" "$work/home" >>"$work/nochange.t"
done

cp_s=$(median <"$work/cp.t"); ark_s=$(median <"$work/ark.t")
rs_s=$(median <"$work/rs.t"); nc_s=$(median <"$work/nochange.t")
printf '%-34s %8s s\n' "cp -a (fresh target)" "$cp_s" "arkivo run, sync (fresh target)" "$ark_s" \
  "rsync -a (no change)" "$rs_s" "arkivo run, sync (no change)" "$nc_s"
printf 'first run:      arkivo / cp -a  = %.2f   (goal <= 1.10)\n' "$(echo "$ark_s / $cp_s" | bc -l)"
printf 'no-change pass: arkivo / rsync  = %.2f   (goal <= 1.00)\n' "$(echo "$nc_s / $rs_s" | bc -l)"
