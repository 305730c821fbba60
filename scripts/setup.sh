#!/bin/sh
# Installs what Arkivo needs on a Debian 12 machine: the build tools, and with --tests also
# everything the test suite drives (archive readers, an FTP server, the Windows cross build).
set -eu
packages="cmake g++ make libcli11-dev libgtest-dev googletest"
if [ "${1:-}" = "--tests" ]; then
  packages="$packages g++-mingw-w64-x86-64-posix"
fi
run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
run apt-get update -q
DEBIAN_FRONTEND=noninteractive run apt-get install -y -q --no-install-recommends $packages
