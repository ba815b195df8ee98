# Sourced by the test and demo commands: an X display (a private Xvfb when
# none is set) and a persistent wineserver for a build tree's prefix, so each
# Windows program starts in well under a second. wine_session_start may be
# called again for another tree: the display stays, the prefix changes.
# Stopped by wine_session_stop.
WP_XVFB_PID="${WP_XVFB_PID:-}"

wine_session_start() {
  local build; build=$(cd "$1" && pwd)
  if [ -n "${WINEPREFIX:-}" ] && [ "$WINEPREFIX" != "$build/wineprefix" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -z "${DISPLAY:-}" ]; then
    local fdfile; fdfile=$(mktemp)
    # The server picks a free display number itself and tells it on fd 3.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    WP_XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
  fi
  "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1 || true
  # Starts Wine's services and desktop process now, detached from every pipe,
  # so no test's output pipe is held open by them later.
  /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
}

# A Linux path as the Windows programs of the session see it (drive Z:).
wine_path() { echo "Z:$(echo "$1" | tr / '\\')"; }

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WP_XVFB_PID:-}" ]; then
    kill "$WP_XVFB_PID" 2>/dev/null || true
    WP_XVFB_PID=""
    unset DISPLAY
  fi
}
