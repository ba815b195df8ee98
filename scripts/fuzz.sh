#!/usr/bin/env bash
# Builds one libFuzzer target (clang, AddressSanitizer and UBSan) and runs it
# on its seed corpus for the given number of seconds.
# Usage: scripts/fuzz.sh <target> <seconds> [libFuzzer options...]
#   e.g. scripts/fuzz.sh bloglist_fuzz 600
# WP_BUILD_DIR puts the build elsewhere (default: build/ in the repository).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target="$1"; seconds="${2:-60}"
shift; [ $# -gt 0 ] && shift
build="${WP_BUILD_DIR:-$root/build}/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DWP_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "$target" -j1 >/dev/null
name="${target%_fuzz}"
work="$build/corpus-$name"
mkdir -p "$work"
# New inputs go to a scratch corpus; the committed seeds stay as they are.
exec "$build/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "$@" \
     "$work" "$root/tests/fuzz/corpus/$name"
