#!/bin/sh
# Installs what is missing, builds Kolvane.exe and starts it under Wine
# (inside a virtual X server when there is no display). Arguments are passed
# to Kolvane, e.g. an account file to open.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j "$(nproc 2>/dev/null || echo 2)" --target Kolvane
export WINEPREFIX="$(pwd)/build/windows/wineprefix"
exec cmake/wine-run.sh build/windows/Kolvane.exe "$@"
