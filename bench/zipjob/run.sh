#!/usr/bin/env bash
# A differential job in ZIP mode over the benchmark tree (its first run, so every file goes
# into the archive) against `zip -r -8` of the same tree: time, archive size and peak memory.
# The job takes dot folders, so both archive the same files. Runs alternate; medians compared.
#
#   bench/zipjob/run.sh [CORPUS_DIR] [RUNS]
#
# ARKIVO_ZIP_THREADS=N sets how many threads compress (one per core otherwise).
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
corpus=${1:-/tmp/arkivo-corpus}
runs=${2:-3}
work=$(mktemp -d /tmp/arkivo-zipbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
ensure_tree_corpus "$corpus"
build_release

cat "$corpus"/large/* >/dev/null 2>&1 || true
for ((i = 0; i < runs; i++)); do
  rm -f "$work/zip.zip"
  (cd "$corpus" && measure "$work/zip" zip -r -8 -q "$work/zip.zip" .)
  rm -rf "$work/target" "$work/home"
  "$arkivo" --home "$work/home" jobs add "$corpus" "$work/target" --type dif --zip >/dev/null
  "$arkivo" --home "$work/home" options set dot-folders on --job 1 >/dev/null
  # A few corpus names are too long to store in an archive: the run fails those (exit 1) and
  # the entry counts below show them.
  measure "$work/ark" "$arkivo" --home "$work/home" run || true
done
archive=$(ls "$work"/target/DIF_*.zip)
"$arkivo" verify "$archive" >/dev/null
unzip -tqq "$archive" >/dev/null
echo "zip job entries: zip $(unzip -Z1 "$work/zip.zip" | grep -vc '/$'), arkivo $(unzip -Z1 "$archive" | grep -vc '/$')" >&2
zip_s=$(median <"$work/zip.t"); ark_s=$(median <"$work/ark.t")
zip_b=$(stat -c %s "$work/zip.zip"); ark_b=$(stat -c %s "$archive")
zip_mib=$(largest <"$work/zip.rss" | awk '{printf "%.1f", $1 / 1024}')
ark_mib=$(largest <"$work/ark.rss" | awk '{printf "%.1f", $1 / 1024}')
# On a machine shared with other work the time ratio says more about the others than about
# us: the processor time and the cores a run got tell them apart.
zip_cpu=$(median <"$work/zip.cpu"); ark_cpu=$(median <"$work/ark.cpu")
echo "compressing threads: ${ARKIVO_ZIP_THREADS:-$(nproc) (one per core)};" \
  "CPU seconds: zip $zip_cpu, arkivo $ark_cpu;" \
  "cores busy: zip $(ratio "$zip_cpu" "$zip_s"), arkivo $(ratio "$ark_cpu" "$ark_s")" >&2
result "dif ZIP job vs zip -r -8" "time s" "$ark_s" "$zip_s" "$(ratio "$ark_s" "$zip_s")" "<=0.5" "<=0.3"
result "dif ZIP job vs zip -r -8" "archive bytes" "$ark_b" "$zip_b" "$(ratio "$ark_b" "$zip_b")" "<=1.0" "-"
result "dif ZIP job vs zip -r -8" "peak RSS MiB" "$ark_mib" "$zip_mib" "$(ratio "$ark_mib" "$zip_mib")" "-" "ours<=64"
