#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12, once.
# Extra package names on the command line are installed with them.
#
# Wine comes as WoW64: the 64-bit loader with the 32-bit one beside it, so the
# accessory's x86 and x64 builds both run. The 32-bit half must be the very
# same version as the 64-bit one; when the i386 index of a suite could not be
# fetched, apt would otherwise "solve" the mismatch by removing wine64. So the
# Wine packages are asked for at the version the i386 side offers.
set -euo pipefail
packages=("$@" cmake make g++ pkg-config mingw-w64 mingw-w64-tools libwine-dev xvfb xauth
          imagemagick fonts-wine fonts-liberation fonts-dejavu-core googletest libbenchmark-dev
          wordpress wordpress-theme-twentytwentythree php8.2-cli php8.2-mysql php8.2-xml php8.2-gd
          mariadb-server curl stunnel4 openssl nlohmann-json3-dev
          fp-utils wixl msitools libchm-bin p7zip-full chromium python3 locales)
wine_packages=(wine wine64 wine32:i386 libwine libwine:i386)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
loaders_present() { [ -x /usr/lib/wine/wine64 ] && [ -x /usr/lib/wine/wine ]; }
run_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
# Wine takes its ANSI code page from the locale: the editor's tests under a
# Japanese code page (932) run with LANG=ja_JP.UTF-8, which must be generated.
japanese_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  run_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | run_root tee -a /etc/locale.gen >/dev/null
  run_root locale-gen
}

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
wine_missing=0
for p in "${wine_packages[@]}"; do installed "$p" || wine_missing=1; done
loaders_present || wine_missing=1
if [ ${#missing[@]} -eq 0 ] && [ $wine_missing -eq 0 ]; then japanese_locale; exit 0; fi

export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || run_root dpkg --add-architecture i386
# A suite whose i386 index is mid-sync fails the update as a whole; the
# indexes that did arrive are still used, and the version match below keeps
# the two halves of Wine together.
run_root apt-get update -qq || echo "setup.sh: apt-get update reported an error; going on with the indexes it fetched" >&2

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  run_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ $wine_missing -eq 1 ]; then
  version=$(apt-cache policy wine32:i386 | sed -n 's/^ *Candidate: //p')
  if [ -z "$version" ] || [ "$version" = "(none)" ]; then
    echo "setup.sh: no wine32:i386 package is available; the x86 build cannot be tested." >&2
    echo "setup.sh: check that 'dpkg --add-architecture i386' took and that apt-get update fetched the i386 index." >&2
    exit 1
  fi
  pinned=()
  for p in "${wine_packages[@]}"; do pinned+=("$p=$version"); done
  echo "Installing Wine $version for both architectures"
  run_root apt-get install -y -qq --no-install-recommends --allow-downgrades "${pinned[@]}"
fi

if ! loaders_present; then
  echo "setup.sh: Wine is incomplete:" >&2
  [ -x /usr/lib/wine/wine64 ] || echo "  the 64-bit loader /usr/lib/wine/wine64 (package wine64) is missing" >&2
  [ -x /usr/lib/wine/wine ] || echo "  the 32-bit loader /usr/lib/wine/wine (package wine32:i386) is missing" >&2
  exit 1
fi

japanese_locale
