#!/usr/bin/env bash
# The demo: builds the accessory and the sample host, starts the host under
# Wine with the accessory's menu dropped down, sends the capture through it,
# and leaves a screenshot in docs/screenshots/host-menu.png. Then it posts the
# capture to a private WordPress through the real publishing library
# (scripts/demo-publish.sh) and prints the post's address.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${WP_BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/win" -j"$(nproc)" --target OrlimoHost WordPress QTVPublishDouble

source "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$build/win"

# Register the accessory as an installer would; the host then creates it through COM.
"$build/win/wine-run" regsvr32 /s "$(wine_path "$build/win/accessory/WordPress.dll")"

mkdir -p "$root/docs/screenshots"
shot=$(wine_path "$root/docs/screenshots/host-menu.png")
data='C:\users\Public\WordPressDemo'
# A virtual desktop draws title bars, as a user's window manager would.
"$build/win/wine-run" explorer "/desktop=WordPressDemo,1024x768" "$(wine_path "$build/win/OrlimoHost.exe")" \
    --data "$data" --show-menu --screenshot "$shot" --script "menu,send"
echo "Screenshot: $root/docs/screenshots/host-menu.png"

"$root/scripts/demo-publish.sh"
