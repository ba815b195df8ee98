#!/usr/bin/env bash
# Checks a built Windows module: it may import only the operating system's
# DLLs (a plug-in cannot count on the compiler's runtime on the user's PATH),
# and, when names are given, it exports exactly those.
# Usage: check-dll.sh <module> [export ...]
set -euo pipefail
module="$1"; shift
system='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|comctl32|comdlg32|gdiplus|hhctrl\.ocx|msvcrt|winmm|winhttp|crypt32|cryptnet|xmllite|msxml6|riched20|uxtheme|version|ws2_32|bcrypt|secur32|ntdll)(\.dll)?$'
dump=$(x86_64-w64-mingw32-objdump -p "$module")
bad=0
while read -r dll; do
  if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -qE "$system"; then
    echo "$module imports a non-system DLL: $dll"; bad=1
  fi
done < <(echo "$dump" | sed -n 's/^\s*DLL Name: //p')
if [ $# -gt 0 ]; then
  exports=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[\s*[0-9]*\] //p' | sort)
  wanted=$(printf '%s\n' "$@" | sort)
  if [ "$exports" != "$wanted" ]; then
    echo "$module exports:"; echo "$exports"; echo "expected:"; echo "$wanted"; bad=1
  fi
fi
[ $bad -eq 0 ] && echo "$module: system imports only${1:+, exports as expected}"
exit $bad
