#!/bin/sh
# Builds Arkivo and shows it on the bundled demo tree: registers a synchronisation job and a
# differential job for demo/files and lists them. Everything stays under build/demo/.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
demo=build/demo
rm -rf "$demo"
arkivo() { ./build/bin/arkivo --home "$demo/home" "$@"; }
arkivo jobs add demo/files "$demo/mirror"
arkivo jobs add demo/files "$demo/history" --type dif
arkivo jobs list
