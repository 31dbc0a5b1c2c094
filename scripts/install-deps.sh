#!/bin/sh
# Installs what building and testing Kolvane needs on Debian (idempotent).
set -e
PACKAGES="cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev \
g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth \
imagemagick xdotool fonts-wine fonts-liberation python3 procps"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
