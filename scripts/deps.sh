#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its demo need,
# only those that are missing, and the Italian locale the workbook tests
# write under (as an Italian desktop does).
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libgl1-mesa-dev libxlsxwriter-dev
  odbcinst unixodbc tdsodbc libsqliteodbc sqlite3
  fonts-wine fonts-liberation2 fonts-comic-neue fonts-dejavu-core
  xvfb xauth xdotool x11-utils imagemagick python3 python3-openpyxl locales clang-format
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
italiano=0
locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$' || italiano=1
[ ${#missing[@]} -eq 0 ] && [ $italiano -eq 0 ] && exit 0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    what="${missing[*]:-}"
    [ $italiano -eq 0 ] || what="${what:+$what, }the it_IT.UTF-8 locale"
    echo "deps.sh: these are missing and installing them needs root: $what (run as root or install sudo)" >&2
    exit 1
  fi
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ $italiano -eq 1 ]; then
  echo "Making the it_IT.UTF-8 locale"
  $SUDO sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
