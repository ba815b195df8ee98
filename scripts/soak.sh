#!/usr/bin/env bash
# Runs the Windows suites (both builds, as built) N times in a row and lists
# every failure with its output, so a test that fails one time in ten shows.
#   scripts/soak.sh N [ctest arguments, e.g. -R BlogEditor]
# Build first (scripts/test.sh, or windows_build x86 / x64). WP_SOAK_ARCHS
# names the builds to run ("x64" alone, say, in a second checkout soaking the
# other build side by side); both by default.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${WP_BUILD_DIR:-$root/build}"
runs="${1:?how many runs?}"
shift
out="$build/soak"
rm -rf "$out"
mkdir -p "$out"
source "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
failures=0
for run in $(seq "$runs"); do
  for arch in ${WP_SOAK_ARCHS:-x86 x64}; do
    [ -d "$build/win-$arch" ] || continue
    wine_session_start "$build/win-$arch"
    start=$(date +%s)
    if ! ctest --test-dir "$build/win-$arch" -j1 "$@" >"$out/run$run-$arch.log" 2>&1; then
      failures=$((failures + 1))
      cp "$build/win-$arch/Testing/Temporary/LastTest.log" "$out/run$run-$arch.detail.log"
    fi
    echo "run $run $arch: $(($(date +%s) - start)) s, $(grep -cE '\*\*\*(Failed|Timeout|Exception)' "$out/run$run-$arch.log") failed"
  done
done
echo "== failures"
for log in "$out"/run*-x*.log; do
  case "$log" in *.detail.log) continue ;; esac
  grep -E '\*\*\*(Failed|Timeout|Exception)' "$log" | sed "s|^|$(basename "$log" .log): |"
done
for detail in "$out"/*.detail.log; do
  [ -f "$detail" ] || continue
  echo "== output of the failed tests in $(basename "$detail" .detail.log)"
  # Each failed test's section of the CTest log, from its header to its verdict.
  awk '/^[0-9]+\/[0-9]+ Testing: /{block=$0 "\n"; next} {block=block $0 "\n"} /^Test Failed|^Test time.*Timeout|Timeout$/{printf "%s", block}' "$detail"
done
echo "$failures failing suite runs out of $((runs * $(echo ${WP_SOAK_ARCHS:-x86 x64} | wc -w)))"
[ "$failures" -eq 0 ]
