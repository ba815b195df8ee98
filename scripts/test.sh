#!/usr/bin/env bash
# Builds everything and runs every test: the platform-free tests natively
# under AddressSanitizer and UBSan, then the Windows builds' tests under Wine,
# the x86 build (32-bit hosts) and the x64 build (64-bit hosts) alike.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${WP_BUILD_DIR:-$root/build}"
jobs=$(nproc)

"$root/scripts/setup.sh"

# Tests write only into the build tree: what the checkout shows before must
# be what it shows after.
tree_state() { git -C "$root" status --porcelain 2>/dev/null || true; }
before=$(tree_state)

echo "== native build and tests"
cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native" -j"$jobs"
ctest --test-dir "$build/native" --output-on-failure -j"$jobs"

source "$root/scripts/windows-builds.sh"
# x86 first: the x64 tree's installer packs the x86 build's files beside its own.
for arch in x86 x64; do
  echo "== Windows build ($arch)"
  windows_build "$arch"
done

echo "== Windows tests under Wine"
source "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
status=0
for arch in x86 x64; do
  echo "== Windows tests under Wine ($arch)"
  wine_session_start "$build/win-$arch"
  # One at a time: the tests share one display, and focus is global.
  ctest --test-dir "$build/win-$arch" --output-on-failure -j1 || status=1
done
if [ "$(tree_state)" != "$before" ]; then
  echo "== the tests changed the checkout:"
  diff <(echo "$before") <(tree_state) || true
  status=1
fi
exit $status
