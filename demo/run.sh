#!/bin/sh
# Builds the arkivo program and shows it at work on the bundled demo tree. A first
# synchronisation makes a full copy in history/; then a synchronisation job keeps mirror/
# current and a differential job puts what changed since the full copy into a dated DIF_ folder
# inside history/. Everything happens under build-demo/ (a copy of demo/files is backed up).
set -eu
cd "$(dirname "$0")/.."
build=build-demo

# Only the program and its language files: the tests take most of a full build's time. It is
# optimised as the tests' build is (-O2), without the debug information a demo does not need,
# which compiles faster than either default build type. The build's own chatter goes to a log,
# shown only when it fails.
echo "Building arkivo in $build/ (the first time takes a few minutes)..."
mkdir -p "$build"
if ! { cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
         -DARKIVO_BUILD_TESTS=OFF &&
       cmake --build "$build" --target arkivo -j"$(nproc)"; } >"$build/build.log" 2>&1; then
  cat "$build/build.log" >&2
  echo "The build failed (its output is above and in $build/build.log)." >&2
  exit 1
fi
echo

demo=$build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp -a demo/files "$demo/files"
arkivo() { "./$build/bin/arkivo" --home "$demo/home" "$@"; }
for switch in report report-created report-updated report-deleted; do
  arkivo options set "$switch" on
done

echo "== The full copy"
arkivo jobs add "$demo/files" "$demo/history"
arkivo run
arkivo jobs remove 1

echo; echo "== The everyday jobs"
arkivo jobs add "$demo/files" "$demo/mirror"
arkivo jobs add "$demo/files" "$demo/history" --type dif
arkivo jobs list

echo; echo "== A file changes, a file is added; then the run"
sleep 1
printf 'Q4 25\n' >> "$demo/files/documents/report.csv"
printf 'New notes\n' > "$demo/files/notes 2026/later.md"
arkivo run

echo; echo "== What the backups hold"
(cd "$demo" && find mirror history -type f | sort)
echo; echo "== The report of the last run"
cat "$(ls -t "$demo"/home/Report*.txt | head -n 1)"
