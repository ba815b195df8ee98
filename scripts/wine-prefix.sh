#!/usr/bin/env bash
# Makes a Wine prefix once, offline, tuned for tests: no Mono or Gecko
# installers, and unmanaged windows so destroying one does not wait ~2 s.
# A WoW64 prefix: both the x86 and the x64 build run in it.
set -euo pipefail
prefix="$1"
[ -f "$prefix/.ready" ] && exit 0
# WINEARCH and the 64-bit loader: with the 32-bit half installed, plain
# "wine" would make a 32-bit-only prefix, where the x64 build cannot run.
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64
mkdir -p "$prefix"
"$WINE" wineboot -i >/dev/null 2>&1 || true
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1
# Wine's own metric-compatible dialog fonts, so dialogs and title bars look
# as they do on Windows rather than falling back to another family.
mkdir -p "$prefix/drive_c/windows/Fonts"
for font in tahoma tahomabd marlett; do
  [ -f "/usr/share/wine/fonts/$font.ttf" ] && cp "/usr/share/wine/fonts/$font.ttf" "$prefix/drive_c/windows/Fonts/"
done
wineserver -w || true
touch "$prefix/.ready"
