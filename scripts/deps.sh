#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages that building, testing and running ryQt need.
# Packages already present are left alone; nothing is installed when all are there.
set -euo pipefail

packages=(build-essential cmake pkg-config fonts-dejavu-core
          # Debian packages of ryQt (cpack -G DEB needs dpkg-shlibdeps)
          dpkg-dev
          # Qt 5.15
          qtbase5-dev qtbase5-dev-tools libqt5test5
          # Qt 6
          qt6-base-dev qt6-base-dev-tools libqt6test6 libgl-dev
          # translations (lupdate, lrelease) and the private headers the accessibility tests use
          qttools5-dev qttools5-dev-tools qtbase5-private-dev
          qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-base-private-dev
          # API reference (docs target) and its warning check
          doxygen
          # real window systems for the widget tests: X11 with a window manager, and a headless
          # Wayland compositor with its screenshot and virtual-keyboard tools, plus Qt's Wayland platform plugins
          xvfb openbox x11-utils sway grim wtype wayland-utils qtwayland5 qt6-wayland
          # the accessibility bus, and a screen reader's view of it for the AT-SPI test
          dbus at-spi2-core python3-pyatspi
          # the Python modules (SIP 6 with PyQt5 and PyQt6 and their .sip files) and their tests
          python3-dev sip-tools python3-sipbuild python3-pyqt5 python3-pyqt5.sip pyqt5-dev
          python3-pyqt6 python3-pyqt6.sip pyqt6-dev python3-pytest python3-pytestqt)
packages+=("$@")

# sway will not run as root: the widget tests' compositor runs as this unprivileged user.
if [ "$(id -u)" -eq 0 ] && ! id ryqt-display >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin ryqt-display
fi

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
