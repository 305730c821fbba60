#!/usr/bin/env bash
# A tree sent to and fetched from an FTP server on this machine (pyftpdlib, as the tests use)
# by a synchronisation job, against one curl process moving the same files one at a time over
# one reused connection. Throughput ratio: curl's time over ours (above 1: we are faster).
# The tree is the corpus's "doc" folder (5,416 small files) and its "large" folder (two large
# files): the whole corpus would keep curl busy for about an hour (see the stalls below).
#
#   bench/ftp/run.sh [CORPUS_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh"
corpus=${1:-/tmp/arkivo-corpus}
runs=${2:-1}
work=$(mktemp -d /tmp/arkivo-ftpbench.XXXXXX)
server_pid=""
trap '[[ -n $server_pid ]] && kill "$server_pid"; rm -rf "$work"' EXIT
ensure_tree_corpus "$corpus"
build_release
mkdir "$work/tree"
cp -al "$corpus/doc" "$corpus/large" "$work/tree/"
corpus=$work/tree

mkdir -p "$work/served"
/usr/bin/python3 "$bench_root/tests/support/ftp_server.py" "$work/served" "$work/port" \
  2>"$work/server.log" &
server_pid=$!
for _ in $(seq 200); do [[ -f $work/port ]] && break; sleep 0.05; done
port=$(cat "$work/port")
url="ftp://u:p@127.0.0.1:$port"
export ARKIVO_BASE_PASSWORD=p ARKIVO_TARGET_PASSWORD=p

new_job() {  # HOME BASE TARGET [jobs add options]: a fresh mirror job taking dot folders
  local home=$1; shift
  rm -rf "$home"
  "$arkivo" --home "$home" jobs add "$@" >/dev/null
  "$arkivo" --home "$home" options set dot-folders on --job 1 >/dev/null
}

python3 "$here/curl-config.py" upload "$corpus" "$url/curl" - >"$work/up.curl"
python3 "$here/curl-config.py" download "$corpus" "$url/ark" "$work/curl-down" >"$work/down.curl"
cat -- "$corpus"/large/* >/dev/null 2>&1 || true
# curl binds each data connection's local address before connecting, so the kernel may pick a
# port whose connection to the server's new data port is still in TIME_WAIT: the first SYN is
# answered by a reset and curl's connect waits a second for the retry. Those seconds are summed
# (from curl's own connect times) to show curl's figure without them as well.
timed_curl() {  # NAME CURL_ARGS...: measures curl as NAME, its stall-free time as NAME-nostall
  local name=$1; shift
  measure "$work/$name" sh -c 'out=$1; shift; exec curl -s -S -w "%{time_connect}\n" "$@" >"$out"' \
    curl "$work/$name.connects" "$@"
  local lost
  lost=$(awk '$1 >= 0.9 {s += $1} END {printf "%.2f", s + 0}' "$work/$name.connects")
  awk -v t="$(tail -n 1 "$work/$name.t")" -v l="$lost" 'BEGIN {print t - l}' >>"$work/$name-nostall.t"
}
for ((i = 0; i < runs; i++)); do
  rm -rf "$work/served/curl" "$work/served/ark"
  mkdir "$work/served/ark"
  timed_curl curl-up --ftp-create-dirs -K "$work/up.curl"
  new_job "$work/home-up" "$corpus" "ftp://127.0.0.1/ark" --target-user u --target-port "$port"
  measure "$work/ark-up" "$arkivo" --home "$work/home-up" run

  rm -rf "$work/curl-down" "$work/ark-down"
  timed_curl curl-down --ftp-method nocwd --create-dirs -K "$work/down.curl"
  new_job "$work/home-down" "ftp://127.0.0.1/ark" "$work/ark-down" --base-user u --base-port "$port"
  measure "$work/ark-down" "$arkivo" --home "$work/home-down" run
done
diff -r "$corpus" "$work/served/ark" >/dev/null || { echo "error: the upload differs" >&2; exit 1; }
diff -r "$corpus" "$work/served/curl" >/dev/null || { echo "error: curl's upload differs" >&2; exit 1; }
diff -r "$corpus" "$work/ark-down" >/dev/null || { echo "error: the download differs" >&2; exit 1; }
diff -r "$corpus" "$work/curl-down" >/dev/null || { echo "error: curl's download differs" >&2; exit 1; }

# A differential pass over FTP with nothing to copy: what listing every folder costs.
new_job "$work/home-dif" "$corpus" "ftp://127.0.0.1/ark" --type dif --target-user u \
  --target-port "$port"
for ((i = 0; i < runs; i++)); do
  before=$(wc -l <"$work/server.log")
  measure "$work/dif" "$arkivo" --home "$work/home-dif" run
  listings=$(tail -n +"$((before + 1))" "$work/server.log" | grep -c -E '^.*(MLSD|LIST)' || true)
done
folders=$(find "$corpus" -type d | wc -l)
if compgen -G "$work/served/ark/DIF_*" >/dev/null; then
  echo "error: a differential pass with nothing to copy uploaded a dated folder" >&2; exit 1
fi

up_ours=$(median <"$work/ark-up.t"); up_curl=$(median <"$work/curl-up.t")
down_ours=$(median <"$work/ark-down.t"); down_curl=$(median <"$work/curl-down.t")
result "FTP upload vs curl -T (throughput)" "time s" "$up_ours" "$up_curl" \
  "$(ratio "$up_curl" "$up_ours")" ">=1.0" ">=1.5"
result "FTP download vs curl (throughput)" "time s" "$down_ours" "$down_curl" \
  "$(ratio "$down_curl" "$down_ours")" ">=1.0" ">=1.5"
up_fair=$(median <"$work/curl-up-nostall.t"); down_fair=$(median <"$work/curl-down-nostall.t")
result "FTP upload vs curl without its stalls" "time s" "$up_ours" "$up_fair" \
  "$(ratio "$up_fair" "$up_ours")" ">=1.0" ">=1.5"
result "FTP download vs curl without its stalls" "time s" "$down_ours" "$down_fair" \
  "$(ratio "$down_fair" "$down_ours")" ">=1.0" ">=1.5"
result "FTP no-change dif pass" "time s" "$(median <"$work/dif.t")" "-" "-" "-" "-"
result "FTP no-change dif: listings per folder" "count" "$listings" "$folders" \
  "$(ratio "$listings" "$folders")" "-" "<=1.0"
