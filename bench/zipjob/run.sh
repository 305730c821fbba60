#!/usr/bin/env bash
# A differential job in ZIP mode over the benchmark tree (its first run, so every file goes
# into the archive) against `zip -r -8` of the same tree: time, archive size and our peak
# memory. Runs alternate; medians are compared.
#
#   bench/zipjob/run.sh [CORPUS_DIR] [RUNS]
#
# ARKIVO_ZIP_THREADS=N sets how many threads compress (one per core otherwise).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
corpus=${1:-/tmp/arkivo-corpus}
runs=${2:-3}
work=$(mktemp -d /tmp/arkivo-zipbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
[[ -d $corpus ]] || "$root/../shared/bench/make-corpus.sh" "$corpus" >&2
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DARKIVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build-bench" -j"$(nproc)" --target arkivo >/dev/null
arkivo=$root/build-bench/bin/arkivo

# Runs never enter folders whose names begin with "."; zip is told to leave them out too.
excludes=()
while IFS= read -r dir; do excludes+=(-x "${dir#./}/*"); done < <(cd "$corpus" && find . -mindepth 1 -type d -name '.*')

measure() {  # OUT_PREFIX COMMAND... : appends wall seconds, peak RSS KiB and CPU seconds
  local out=$1; shift
  # arkivo exits 1 for the few corpus files whose names are too long to store; that is
  # expected here and shows in the entry count below.
  /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$@" >/dev/null 2>&1 || true
  read -r s kib user sys < <(tail -n 1 "$work/time")
  echo "$s" >>"$out.t"; echo "$kib" >>"$out.rss"; echo "$user + $sys" | bc -l >>"$out.cpu"
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

cat "$corpus"/large/* >/dev/null 2>&1 || true
for ((i = 0; i < runs; i++)); do
  rm -f "$work/zip.zip"
  (cd "$corpus" && measure "$work/zip" zip -r -8 -q "$work/zip.zip" . "${excludes[@]}")
  rm -rf "$work/target" "$work/home"
  "$arkivo" --home "$work/home" jobs add "$corpus" "$work/target" --type dif --zip >/dev/null
  measure "$work/ark" "$arkivo" --home "$work/home" run
done
archive=$(ls "$work"/target/DIF_*.zip)
"$arkivo" verify "$archive" >/dev/null
unzip -tqq "$archive" >/dev/null
zip_s=$(median <"$work/zip.t"); ark_s=$(median <"$work/ark.t")
zip_cpu=$(median <"$work/zip.cpu"); ark_cpu=$(median <"$work/ark.cpu")
zip_b=$(stat -c %s "$work/zip.zip"); ark_b=$(stat -c %s "$archive")
ark_rss=$(sort -n "$work/ark.rss" | tail -1)
echo "entries: zip $(unzip -Z1 "$work/zip.zip" | grep -vc '/$'), arkivo $(unzip -Z1 "$archive" | wc -l)"
printf '%-30s %8s s %12s bytes\n' "zip -r -8" "$zip_s" "$zip_b" "arkivo run (dif, zip)" "$ark_s" "$ark_b"
echo "compressing threads: ${ARKIVO_ZIP_THREADS:-$(nproc) (one per core)}"
printf 'time ratio arkivo / zip = %.2f   (goal <= 0.50, aiming at 0.30)\n' "$(echo "$ark_s / $zip_s" | bc -l)"
printf 'size ratio arkivo / zip = %.4f (goal <= 1.000)\n' "$(echo "$ark_b / $zip_b" | bc -l)"
printf 'peak RSS of arkivo      = %.1f MiB (goal <= 64)\n' "$(echo "$ark_rss / 1024" | bc -l)"
# On a machine shared with other work the time ratio says more about the others than about
# us: the processor time and the cores a run got tell them apart.
printf 'CPU seconds             = zip %.2f, arkivo %.2f (ratio %.2f)\n' "$zip_cpu" "$ark_cpu" \
  "$(echo "$ark_cpu / $zip_cpu" | bc -l)"
printf 'cores busy on average   = zip %.2f, arkivo %.2f\n' "$(echo "$zip_cpu / $zip_s" | bc -l)" \
  "$(echo "$ark_cpu / $ark_s" | bc -l)"
