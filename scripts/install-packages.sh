#!/usr/bin/env bash
# Installs the Debian 12 packages Shakemeter needs to build, test and run.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev
  libusb-1.0-0-dev umockdev libumockdev-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libkissfft-dev nlohmann-json3-dev libcli11-dev libhdf5-dev hdf5-tools
  fonts-liberation2 poppler-utils
  xvfb xauth desktop-file-utils libxml2-utils shared-mime-info
  xdg-utils locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The number texts are tested under a locale that writes a decimal comma.
comma_locale=1
locale -a 2>/dev/null | grep -qix 'de_DE.utf8' || comma_locale=0
[ ${#missing[@]} -eq 0 ] && [ $comma_locale -eq 1 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -ne 0 ]; then
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ $comma_locale -eq 0 ]; then
  $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen
fi
