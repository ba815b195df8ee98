#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12, once.
# Extra package names on the command line are installed with them.
set -euo pipefail
packages=("$@" cmake make g++ pkg-config mingw-w64 mingw-w64-tools wine wine64 libwine-dev xvfb xauth
          imagemagick fonts-wine fonts-liberation fonts-dejavu-core googletest libbenchmark-dev
          wordpress wordpress-theme-twentytwentythree php8.2-cli php8.2-mysql php8.2-xml php8.2-gd
          mariadb-server curl nlohmann-json3-dev
          fp-utils wixl msitools libchm-bin p7zip-full chromium python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
run_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
export DEBIAN_FRONTEND=noninteractive
run_root apt-get update -qq
run_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
