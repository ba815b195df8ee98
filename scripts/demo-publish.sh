#!/usr/bin/env bash
# The demo's publishing half: starts the private WordPress on 127.0.0.1, posts
# the demo capture with a short entry through the real publishing library's
# two exports (qtvpost, blog type 1, as the accessory calls them), prints the
# published post's address, renders the post with headless Chromium into
# docs/screenshots/post.png, and stops WordPress again.
#
# scripts/demo.sh builds the tree and calls this; alone it needs a build tree
# configured by scripts/demo.sh or scripts/test.sh (WP_BUILD_DIR, default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${WP_BUILD_DIR:-$root/build}"
wpstate="$build/wordpress"
library_dir="$build/win/publish-real"
shot="$root/docs/screenshots/post.png"

say() { echo "demo-publish: $*" >&2; }

if [ ! -f "$build/win/CMakeCache.txt" ]; then
  say "no Windows build tree at $build/win: run scripts/demo.sh"
  exit 1
fi
cmake --build "$build/win" -j"$(nproc)" --target qtvpost

# Chromium only renders the screenshot; nothing else needs it.
"$root/scripts/setup.sh" chromium
# shellcheck disable=SC1091
source "$root/scripts/wine-session.sh"

own_wine=""
stop_all() {
  "$root/scripts/wordpress.sh" stop "$wpstate" || true
  if [ -n "$own_wine" ]; then wine_session_stop; fi
}
trap stop_all EXIT

"$root/scripts/wordpress.sh" start "$wpstate" >/dev/null
# shellcheck disable=SC1091
source "$wpstate/wordpress.env"

# The library reads its service address from the settings file beside it; an
# installation leaves it out and posts to the hosted service.
printf '[WordPress]\r\nXmlRpcUrl=%s\r\n' "$WP_XMLRPC" >"$library_dir/QTVPublish.ini"

# Called from scripts/demo.sh, the demo's Wine session is already running.
if [ -z "${WINEPREFIX:-}" ]; then
  wine_session_start "$build/win"
  own_wine=1
fi

# The body as the Blog Editor composes it: a centred image block holding the
# only two "%s" (link target and image source), then the converted entry.
title="A capture from the demo"
body='<p align = "center"><a href="%s"><img src = "%s" height="360" width="480" hspace="6" /></a></p>'
body+='<p align="left"><font size="2">This capture was posted by the <b>Send to Word Press</b> accessory '
body+='through the real publishing library: the image was uploaded first, and its address put in '
body+='place of the link and the image source.</font></p>'

say "posting $(basename "$root/docs/demo-capture.png") to $WP_XMLRPC as $WP_USER"
"$build/win/wine-run" "$(wine_path "$library_dir/qtvpost.exe")" post "$WP_USER" "$WP_PASSWORD" \
    "$(wine_path "$root/docs/demo-capture.png")" "$title" "$body"

# The newest post's address, read back over XML-RPC as any client would.
answer=$(curl -sS --max-time 20 -H 'Content-Type: text/xml' --data-binary @- "$WP_XMLRPC" <<EOF
<?xml version="1.0"?><methodCall><methodName>wp.getPosts</methodName><params>
<param><value><int>1</int></value></param>
<param><value><string>$WP_USER</string></value></param>
<param><value><string>$WP_PASSWORD</string></value></param>
<param><value><struct><member><name>number</name><value><int>1</int></value></member></struct></value></param>
<param><value><array><data><value><string>link</string></value><value><string>post_title</string></value></data></array></value></param>
</params></methodCall>
EOF
)
link=$(printf '%s' "$answer" | tr -d '\n' | sed -n 's:.*<name>link</name><value><string>\([^<]*\)</string>.*:\1:p')
if [ -z "$link" ]; then
  say "WordPress did not report the new post's address"
  exit 1
fi
link=${link//&amp;/&}
echo "Published: $link"

mkdir -p "$(dirname "$shot")"
profile=$(mktemp -d)
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$profile" \
    --window-size=1024,900 --screenshot="$shot" "$link" >/dev/null 2>&1 || true
rm -rf "$profile"
if [ ! -s "$shot" ]; then
  say "Chromium could not render $link"
  exit 1
fi
echo "Screenshot: $shot"
