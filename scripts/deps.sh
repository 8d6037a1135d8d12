#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages that building, testing and running ryQt need.
# Packages already present are left alone; nothing is installed when all are there.
set -euo pipefail

packages=(build-essential cmake pkg-config fonts-dejavu-core
          # Qt 5.15
          qtbase5-dev qtbase5-dev-tools libqt5test5
          # Qt 6
          qt6-base-dev qt6-base-dev-tools libqt6test6 libgl-dev
          # translations (lupdate, lrelease) and the private headers the accessibility tests use
          qttools5-dev qttools5-dev-tools qtbase5-private-dev
          qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-base-private-dev)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
