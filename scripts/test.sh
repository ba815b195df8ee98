#!/usr/bin/env bash
# Builds everything and runs every test: the platform-free tests natively
# under AddressSanitizer and UBSan, then the Windows build's tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${WP_BUILD_DIR:-$root/build}"
jobs=$(nproc)

"$root/scripts/setup.sh"

echo "== native build and tests"
cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native" -j"$jobs"
ctest --test-dir "$build/native" --output-on-failure -j"$jobs"

echo "== Windows build"
cmake -S "$root" -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/win" -j"$jobs"

echo "== Windows tests under Wine"
source "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$build/win"
# One at a time: the tests share one display, and focus is global.
ctest --test-dir "$build/win" --output-on-failure -j1
