#!/usr/bin/env bash
# The demo: builds the accessory, the real publishing library, the sample host
# and the demo's driver, then runs one send as a user would under Wine
# (scripts/demo-publish.sh): the host's Accessories menu, the log-in, a short
# formatted entry with a link in the Blog Editor, the post to a private
# WordPress through the real library, the popup. It prints the post's address
# and leaves screenshots of each step in docs/screenshots/.
#
# The send goes from the 32-bit sample host with the x86 build, the pair the
# accessory's type library is made for; WP_DEMO_ARCH=x64 scripts/demo.sh runs
# the 64-bit host with the x64 build instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${WP_BUILD_DIR:-$root/build}"
export WP_DEMO_ARCH="${WP_DEMO_ARCH:-x86}"

"$root/scripts/setup.sh"
source "$root/scripts/windows-builds.sh"
windows_build "$WP_DEMO_ARCH" --target OrlimoHost WordPress QTVPublishReal demo_driver

source "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$build/win-$WP_DEMO_ARCH"

"$root/scripts/demo-publish.sh"
