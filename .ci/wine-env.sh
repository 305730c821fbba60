#!/bin/bash
# Runs a command inside a ready Wine session: a prefix with CJK font replacements, a warm
# wineserver and a persistent virtual desktop, so GUI tests neither stall on Wine's helper
# processes nor draw boxes for Japanese and Korean text. Needs DISPLAY (xvfb-run).
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-/tmp/arkivo-wine} WINEDEBUG=${WINEDEBUG:--all,err+module}
export WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
W=/usr/lib/wine
if [ ! -f "$WINEPREFIX/.ready" ]; then
  rm -rf "$WINEPREFIX"
  DISPLAY= $W/wine64 wineboot -i </dev/null >/dev/null 2>&1
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"MS UI Gothic"="WenQuanYi Micro Hei"' '"Gulim"="WenQuanYi Micro Hei"' \
    '"SimSun"="WenQuanYi Micro Hei"' '"PMingLiU"="WenQuanYi Micro Hei"' \
    > "$WINEPREFIX/drive_c/cjk.reg"
  DISPLAY= $W/wine64 reg import 'C:\cjk.reg' </dev/null >/dev/null 2>&1
  $W/wineserver -w
  touch "$WINEPREFIX/.ready"
fi
$W/wineserver -p </dev/null >/dev/null 2>&1
trap '$W/wineserver -k || true' EXIT
DISPLAY= $W/wine64 wineboot </dev/null >/dev/null 2>&1
for _ in $(seq 100); do pgrep -f 'system32\\explorer.exe' >/dev/null || break; sleep 0.1; done
( $W/wine64 explorer /desktop=Default,1024x768 </dev/null >/dev/null 2>&1 & )
for _ in $(seq 100); do
  xwininfo -root -tree | grep -q '"Default - Wine desktop"' && break
  sleep 0.1
done
"$@"
