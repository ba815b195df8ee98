#!/usr/bin/env bash
# The demo: builds the accessory, the real publishing library, the sample host
# and the demo's driver, then runs one send as a user would under Wine
# (scripts/demo-publish.sh): the host's Accessories menu, the log-in, a short
# formatted entry with a link in the Blog Editor, the post to a private
# WordPress through the real library, the popup. It prints the post's address
# and leaves screenshots of each step in docs/screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${WP_BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/win" -j"$(nproc)" --target OrlimoHost WordPress QTVPublishReal demo_driver

source "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$build/win"

"$root/scripts/demo-publish.sh"
