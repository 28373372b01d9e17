#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and
# the extra ones named as arguments (a script's own, such as a window manager).
# Quick when everything is already there: apt is only asked when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n libqt5svg5-dev
  libgoogle-glog-dev libgflags-dev libboost-dev
  libcpp-httplib-dev libssl-dev qt5keychain-dev
  ffmpeg curl xvfb xauth dbus-x11 procps
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
