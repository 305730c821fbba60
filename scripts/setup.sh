#!/bin/sh
# Installs what Arkivo needs on a Debian 12 machine: the build tools, the JSON library and scdoc for the manual
# page, and with --tests also everything the test suite drives (GoogleTest, archive readers,
# zlib for checking our compressor, strace for watching what reaches the disk, man for reading
# the installed manual page, the Windows cross compiler, Wine and a virtual display for the
# Windows tests, the Unicode data the upper-casing table is checked against, clang with
# libFuzzer and the sanitizers' run-time libraries for the fuzz targets).
set -eu
packages="cmake g++ make libcli11-dev nlohmann-json3-dev scdoc"
if [ "${1:-}" = "--tests" ]; then
  packages="$packages libgtest-dev googletest ninja-build unzip zip p7zip-full zlib1g-dev
    python3 strace man-db g++-mingw-w64-x86-64-posix wine64 xvfb x11-utils imagemagick
    fonts-wqy-microhei procps unicode-data clang-14 libclang-rt-14-dev llvm-14
    python3-pyftpdlib"
fi
run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
run apt-get update -q
DEBIAN_FRONTEND=noninteractive run apt-get install -y -q --no-install-recommends $packages
