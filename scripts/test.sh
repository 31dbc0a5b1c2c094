#!/bin/sh
# Installs what is missing, builds the native and the Windows builds (and the
# core tests with AddressSanitizer and UndefinedBehaviorSanitizer), then runs
# every test: natively, and under Wine inside a virtual X server.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
JOBS=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j "$JOBS"
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j "$JOBS"
cmake -S . -B build/sanitize -DKOLVANE_SANITIZE=ON -DKOLVANE_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/sanitize -j "$JOBS" --target core_tests kvn

status=0
echo "=== Native tests ==="
(cd build/native && ctest --output-on-failure) || status=1
echo "=== Core tests with ASan and UBSan ==="
(cd build/sanitize && ctest --output-on-failure -R '^core_tests$') || status=1
echo "=== Windows tests under Wine ==="
(cd build/windows && ctest --output-on-failure) || status=1
exit $status
