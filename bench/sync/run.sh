#!/usr/bin/env bash
# Local copies and passes with nothing to do, against the tools a user would use instead:
#   - a synchronisation job's first run (fresh target) against `cp -a`, and against `cp -a`
#     followed by `sync -f`: a run puts what it copied on disk before it records itself;
#   - a synchronisation run and a differential run with nothing to copy against `rsync -a` with
#     nothing to copy, and against a bare `find -printf '%T@ %s'` walk of the tree.
# Every job takes dot folders, so all tools see the same files. Runs alternate, inputs stay in
# the page cache, medians of RUNS runs are compared.
#
#   bench/sync/run.sh [CORPUS_DIR] [RUNS]
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
corpus=${1:-/tmp/arkivo-corpus}
runs=${2:-5}
work=$(mktemp -d /tmp/arkivo-syncbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
ensure_tree_corpus "$corpus"
build_release

add_job() {  # HOME BASE TARGET [jobs add options]: adds a job taking dot folders
  local home=$1; shift
  "$arkivo" --home "$home" jobs add "$@" >/dev/null
  "$arkivo" --home "$home" options set dot-folders on --job 1 >/dev/null
}

# Every copy goes to a fresh folder, and none is removed until all are timed: on an ext4 without
# a journal (this machine's) the inode allocator skips, one lookup each, every inode freed in the
# last minute (six while its table block is unwritten), so whichever tool creates files after a
# large tree was deleted takes up to 8 times its usual processor time. Run the pair at least six
# minutes after deleting a tree. Two copies nobody times warm the page cache.
mkdir "$work/trees"
cp -a "$corpus" "$work/trees/warm-cp"
add_job "$work/warm-home" "$corpus" "$work/trees/warm-ark"
"$arkivo" --home "$work/warm-home" run >/dev/null

# time_first_copies FOLDER NAME [forget]: a run, `cp -a` and `cp -a` + `sync -f` RUNS times each,
# alternating, into fresh folders under FOLDER; times in $work/NAME-{cp,first,cpsync}.t. With
# "forget" each round's copies are removed once timed. Each copy starts with nothing waiting to
# be written: a run's flush would otherwise also write what the copy before it left in memory.
time_first_copies() {
  local into=$1 name=$2 forget=${3:-}
  for ((i = 0; i < runs; i++)); do
    sync
    measure "$work/$name-cp" cp -a "$corpus" "$into/cp.$i"
    add_job "$work/$name-home.$i" "$corpus" "$into/ark.$i"
    sync
    measure "$work/$name-first" "$arkivo" --home "$work/$name-home.$i" run
    sync
    measure "$work/$name-cpsync" sh -c 'cp -a "$1" "$2" && sync -f "$2"' cp "$corpus" "$into/cps.$i"
    diff -r "$corpus" "$into/ark.$i" >/dev/null || { echo "error: the copy differs from the corpus" >&2; exit 1; }
    if [[ -n $forget ]]; then
      rm -rf "$into"/{cp,cps,ark}."$i"
    fi
  done
}
time_first_copies "$work/trees" same
# Backups usually go to another disk, where the system cannot copy a file for us and the bytes
# pass through the copying program. As root, a journaled ext4 on a loop device stands for one;
# with a journal, removing a tree costs the next copy nothing.
other_fs=""
if [[ $(id -u) == 0 ]] && command -v losetup >/dev/null && command -v mkfs.ext4 >/dev/null; then
  image_mib=$(( $(du -sm "$corpus" | cut -f1) * 4 + 1024 ))
  fallocate -l "${image_mib}M" "$work/other.img" && mkfs.ext4 -q -F "$work/other.img" &&
    loop=$(losetup --direct-io=on -f --show "$work/other.img") && mkdir "$work/other" &&
    mount "$loop" "$work/other" && other_fs=$loop
fi
if [[ -n $other_fs ]]; then
  trap 'umount "$work/other"; losetup -d "$other_fs"; rm -rf "$work"' EXIT
  time_first_copies "$work/other" other forget
fi
rm -rf "$work"/trees/{warm-*,cp.*,cps.*,ark.[1-9]*}

add_job "$work/dif-home" "$corpus" "$work/trees/ark.0" --type dif
rsync -a "$corpus/" "$work/rs/"
for ((i = 0; i < runs; i++)); do
  measure "$work/rsync" rsync -a "$corpus/" "$work/rs/"
  measure "$work/find" sh -c 'find "$1" -printf "%T@ %s\n" >/dev/null' find "$corpus"
  measure "$work/nochange" "$arkivo" --home "$work/same-home.0" run
  measure "$work/dif" "$arkivo" --home "$work/dif-home" run
done
if compgen -G "$work/trees/ark.0/DIF_*" >/dev/null; then
  echo "error: a differential run with nothing to copy left a dated folder" >&2; exit 1
fi

cp_s=$(median <"$work/same-cp.t"); first_s=$(median <"$work/same-first.t")
cps_s=$(median <"$work/same-cpsync.t")
rs_s=$(median <"$work/rsync.t"); find_s=$(median <"$work/find.t")
nc_s=$(median <"$work/nochange.t"); dif_s=$(median <"$work/dif.t")
result "sync first run vs cp -a" "time s" "$first_s" "$cp_s" "$(ratio "$first_s" "$cp_s")" "<=1.0" "<=0.8"
result "sync first run vs cp -a + sync -f" "time s" "$first_s" "$cps_s" "$(ratio "$first_s" "$cps_s")" "<=1.0" "<=0.8"
if [[ -n $other_fs ]]; then
  ocp_s=$(median <"$work/other-cp.t"); ofirst_s=$(median <"$work/other-first.t")
  ocps_s=$(median <"$work/other-cpsync.t")
  result "sync first run vs cp -a, to another file system" "time s" "$ofirst_s" "$ocp_s" "$(ratio "$ofirst_s" "$ocp_s")" "<=1.0" "<=0.8"
  result "sync first run vs cp -a + sync -f, to another file system" "time s" "$ofirst_s" "$ocps_s" "$(ratio "$ofirst_s" "$ocps_s")" "<=1.0" "<=0.8"
fi
result "no-change sync vs rsync -a" "time s" "$nc_s" "$rs_s" "$(ratio "$nc_s" "$rs_s")" "<=0.9" "-"
result "no-change sync vs find walk" "time s" "$nc_s" "$find_s" "$(ratio "$nc_s" "$find_s")" "-" "<=1.5"
result "no-change dif vs rsync -a" "time s" "$dif_s" "$rs_s" "$(ratio "$dif_s" "$rs_s")" "<=0.9" "-"
result "no-change dif vs find walk" "time s" "$dif_s" "$find_s" "$(ratio "$dif_s" "$find_s")" "-" "<=1.5"
