#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its demo need,
# only those that are missing.
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libgl1-mesa-dev
  odbcinst unixodbc tdsodbc libsqliteodbc sqlite3
  fonts-wine fonts-liberation2 fonts-comic-neue fonts-dejavu-core
  xvfb xauth xdotool x11-utils imagemagick python3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "deps.sh: these packages are missing and installing them needs root: ${missing[*]} (run as root or install sudo)" >&2
    exit 1
  fi
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
