#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tengwar Ostrel needs.
# Idempotent and non-interactive; uses sudo only when not already root.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-translations-l10n qt6-l10n-tools qt6-tools-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fontconfig
  python3 python3-fonttools python3-shapely ttfautohint
  mscompress
  unrtf xdg-utils
  xvfb xauth imagemagick
  libqt6sql6-sqlite qt6-charts-dev libqt6opengl6-dev
  dpkg-dev desktop-file-utils appstream lintian
  hunspell-sl
  dbus-daemon weston qt6-wayland
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Nameščam pakete: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
