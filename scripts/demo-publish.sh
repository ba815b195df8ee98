#!/usr/bin/env bash
# The demo's run, as a user would make it: starts the private WordPress on
# 127.0.0.1, makes a demo accessory folder with the real publishing library
# pointed at it, registers the accessory, and starts the sample host under
# Wine in a virtual desktop. The demo's driver (demo_driver.exe, from a
# process of its own) sends the capture from the host's Accessories menu,
# logs in, writes a short formatted entry with a link and posts it; the popup
# announces the post. Then the post's address is printed and the post is
# rendered with headless Chromium. Screenshots of each step go to
# docs/screenshots/: host-menu.png, demo-login.png, demo-editor.png,
# demo-popup.png (the popup over the host) and post.png.
#
# scripts/demo.sh builds the tree and calls this; alone it needs a build tree
# configured by scripts/demo.sh or scripts/test.sh (WP_BUILD_DIR, default build/).
# WP_DEMO_ARCH picks the build and the host: x86 (the default) or x64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${WP_BUILD_DIR:-$root/build}"
win="$build/win-${WP_DEMO_ARCH:-x86}"
# A module registers through the regsvr32 of its own bitness.
regsvr32='C:\windows\system32\regsvr32.exe'
[ "${WP_DEMO_ARCH:-x86}" = x86 ] && regsvr32='C:\windows\syswow64\regsvr32.exe'
wpstate="$build/wordpress"
accessory="$win/demo-accessory"
data="$win/demo-data"
shots="$root/docs/screenshots"

say() { echo "demo-publish: $*" >&2; }

if [ ! -f "$win/CMakeCache.txt" ]; then
  say "no Windows build tree at $win: run scripts/demo.sh"
  exit 1
fi
cmake --build "$win" -j"$(nproc)" --target demo_driver OrlimoHost WordPress QTVPublishReal

# Chromium only renders the post; nothing else needs it.
"$root/scripts/setup.sh" chromium
# shellcheck disable=SC1091
source "$root/scripts/wine-session.sh"

own_wine="" registered=""
stop_all() {
  if [ -n "$registered" ]; then
    "$win/wine-run" "$regsvr32" /u /s "$(wine_path "$accessory/WordPress.dll")" || true
  fi
  "$root/scripts/wordpress.sh" stop "$wpstate" || true
  if [ -n "$own_wine" ]; then wine_session_stop; fi
}
trap stop_all EXIT

"$root/scripts/wordpress.sh" start "$wpstate" >/dev/null
# Read, not sourced: a value may hold spaces (the application password).
env_value() { sed -n "s/^$1=//p" "$wpstate/wordpress.env" | head -n1; }
WP_URL=$(env_value WP_URL) WP_XMLRPC=$(env_value WP_XMLRPC) WP_USER=$(env_value WP_USER)

# The accessory as an installation lays it out, with the real library; its
# settings file points it at the private WordPress instead of the hosted
# service. The build's own accessory folder stays as the build left it.
rm -rf "$accessory" "$data"
mkdir -p "$accessory" "$data" "$shots"
cp "$win/accessory/WordPress.dll" "$win/accessory/WordPress.ico" "$accessory/"
if [ -f "$win/accessory/WordPressOutput.chm" ]; then cp "$win/accessory/WordPressOutput.chm" "$accessory/"; fi
cp "$win/publish-real/QTVPublish.dll" "$accessory/"
printf '[WordPress]\r\nXmlRpcUrl=%s\r\n' "$WP_XMLRPC" >"$accessory/QTVPublish.ini"

# Called from scripts/demo.sh, the demo's Wine session is already running.
if [ -z "${WINEPREFIX:-}" ]; then
  wine_session_start "$win"
  own_wine=1
fi

# Registered as an installer would; the host then creates it through COM.
"$win/wine-run" "$regsvr32" /s "$(wine_path "$accessory/WordPress.dll")"
registered=1

say "sending the capture to $WP_URL as $WP_USER"
log="$win/demo-driver.log"
rm -f "$shots/demo-failed.png"
# A virtual desktop draws title bars, as a user's window manager would.
status=0
"$win/wine-run" explorer "/desktop=WordPressDemo,1024x768" "$(wine_path "$win/tests/e2e/demo_driver.exe")" \
    "$(wine_path "$win/OrlimoHost.exe")" "$(wine_path "$accessory")" "$(wine_path "$data")" \
    "$(wine_path "$wpstate/wordpress.env")" "$(wine_path "$shots")" >"$log" 2>&1 || status=$?
tr -d '\r' <"$log" | grep -v '^Published: ' | sed 's/^/  /' || true
link=$(tr -d '\r' <"$log" | sed -n 's/^Published: //p' | tail -n1)
if [ "$status" -ne 0 ] || [ -z "$link" ]; then
  say "the send did not complete (see $log and $shots/demo-failed.png)"
  exit 1
fi
echo "Published: $link"

profile=$(mktemp -d)
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$profile" \
    --window-size=1024,720 --screenshot="$shots/post.png" "$link" >/dev/null 2>&1 || true
rm -rf "$profile"
if [ ! -s "$shots/post.png" ]; then
  say "Chromium could not render $link"
  exit 1
fi
echo "Screenshots: $shots/{host-menu,demo-login,demo-editor,demo-popup,post}.png"
