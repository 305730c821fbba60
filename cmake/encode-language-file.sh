#!/bin/sh
# Turns a UTF-8 language source into the file the program reads: CRLF line ends, and either
# kept 8-bit ("ansi", for ASCII-only files) or UTF-16LE with a byte-order mark ("utf16").
set -eu
src=$1 out=$2 kind=$3
tmp="$out.tmp"
case "$kind" in
  ansi)  sed 's/$/\r/' "$src" > "$tmp" ;;
  utf16) printf '\377\376' > "$tmp"; sed 's/$/\r/' "$src" | iconv -f UTF-8 -t UTF-16LE >> "$tmp" ;;
  *) echo "unknown kind $kind" >&2; exit 2 ;;
esac
mv "$tmp" "$out"
