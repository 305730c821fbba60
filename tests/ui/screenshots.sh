#!/bin/bash
# Screenshots of every dialog in English, Japanese and Korean, taken under Xvfb and Wine and
# cut to the dialog's window:
#   tests/ui/screenshots.sh [build folder] [output folder]
# Needs the Windows build (.ci/windows-tests.sh builds it) and ImageMagick's import.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build-win}" && pwd)
out=$(mkdir -p "${2:-$root/build-win/screenshots}" && cd "${2:-$root/build-win/screenshots}" && pwd)
export WINEPREFIX=${WINEPREFIX:-/tmp/arkivo-ci-wine}

# Wine's drive Z: is the Linux root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

shoot_language() {
  local index=$1 name=$2 folder
  folder=$(mktemp -d)
  cp "$build"/bin/Arkivo.exe "$build"/bin/*.ini "$folder"/
  printf '[HowToBackup]\r\nSelLang=%s\r\nAutoDetectCycleTime=3\r\n' "$index" > "$folder/Option.ini"
  printf '[Scheduler]\r\nUseScheduler=1\r\nHowToRepeat=2\r\nHour=9\r\nMin=30\r\nMON=1\r\nWED=1\r\nFRI=1\r\nDATE=15\r\n' \
    >> "$folder/Option.ini"
  printf '[Report]\r\nReportOn=1\r\nReportCreatedOn=1\r\n' >> "$folder/Option.ini"
  printf '[2]\r\nThereisFileToCopy=1\r\n' > "$folder/Setting.ini"
  printf '[1]\r\n1=*.tmp\r\n2=~$*\r\n3=%s\r\n' 'C:\Users\Ada\Documents\Drafts' \
    > "$folder/Filter.ini"
  printf '[1]\r\n1=*.docx\r\n2=*.xlsx\r\n' > "$folder/FilterInc.ini"
  /usr/bin/python3 "$root/tests/ui/sample_jobs.py" "$folder/LastSetting.env"
  local marks
  marks=$(mktemp -d)
  /usr/lib/wine/wine64 "$build/bin/arkivo_screenshot_driver.exe" "$(windows_path "$folder")" \
    "$(windows_path "$marks")" </dev/null >/dev/null 2>&1 &
  local driver=$!
  for dialog in main editor editing type-dif help-dif type-inc help-inc type-spd help-spd \
    type-sync help-sync progress complete option option-scheduler option-monthly option-donate \
    option-report autodetect about ftp; do
    for _ in $(seq 300); do [ -f "$marks/$dialog.ready" ] && break; sleep 0.1; done
    [ -f "$marks/$dialog.ready" ] || { echo "no $dialog window ($name)" >&2; kill $driver; exit 1; }
    local width height left top
    read -r width height left top < "$marks/$dialog.ready"
    import -window root "$marks/screen.png"
    convert "$marks/screen.png" -crop "${width}x${height}+${left}+${top}" +repage \
      "$out/$dialog-$name.png"
    touch "$marks/$dialog.done"
  done
  wait $driver
  rm -rf "$folder" "$marks"
}

run() {
  shoot_language 0 english
  shoot_language 1 japanese
  shoot_language 2 korean
}

if [ "${ARKIVO_IN_WINE_SESSION:-}" = 1 ]; then
  run
else
  ARKIVO_IN_WINE_SESSION=1 xvfb-run -a -s "-screen 0 1024x768x24" \
    "$root/.ci/wine-env.sh" "$0" "$build" "$out"
fi
echo "screenshots in $out"
