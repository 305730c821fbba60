#!/bin/sh
# Installs what Arkivo needs on a Debian 12 machine: the build tools, and with --tests also
# everything the test suite drives (archive readers, zlib for checking our compressor, strace
# for watching what reaches the disk, the Windows cross compiler, Wine and a virtual display for
# the Windows tests, the Unicode data the upper-casing table is checked against).
set -eu
packages="cmake g++ make libcli11-dev nlohmann-json3-dev libgtest-dev googletest"
if [ "${1:-}" = "--tests" ]; then
  packages="$packages ninja-build unzip zip p7zip-full zlib1g-dev python3 strace
    g++-mingw-w64-x86-64-posix wine64 xvfb x11-utils imagemagick fonts-wqy-microhei procps
    unicode-data"
fi
run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
run apt-get update -q
DEBIAN_FRONTEND=noninteractive run apt-get install -y -q --no-install-recommends $packages
