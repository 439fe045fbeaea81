#!/usr/bin/env bash
# Installs the Debian packages the tool needs to build, run and be tested.
# Does nothing when they are all present.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libhidapi-dev libudev-dev
  libpulse-dev pulseaudio pulseaudio-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk xvfb xauth
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root, or install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
