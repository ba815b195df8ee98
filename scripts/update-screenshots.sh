#!/usr/bin/env bash
# Copies the screenshots the last test run took (in a build tree) over the
# ones docs/ and the README show: the tests never touch docs/ themselves, so
# this is how a change someone means to show lands there.
#   scripts/update-screenshots.sh [build tree] [name.png ...]
# Without names, every picture docs/screenshots already holds is refreshed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree="${1:-$root/build/win-x64}"
shift || true
from="$tree/screenshots"
to="$root/docs/screenshots"
[ -d "$from" ] || { echo "no screenshots in $from: run the tests first" >&2; exit 1; }
if [ $# -eq 0 ]; then
  set -- $(cd "$to" && ls *.png)
fi
for name in "$@"; do
  if [ -f "$from/$name" ]; then
    cp "$from/$name" "$to/$name"
    echo "updated $name"
  else
    echo "not taken by the tests: $name"
  fi
done
