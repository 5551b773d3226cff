#!/usr/bin/env bash
# Installs the Debian 12 packages Stylomat needs to build, run and test.
# Does nothing when they are all present already.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ccache
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libserialport-dev libudev-dev libevdev-dev nlohmann-json3-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  qt6-base-dev qt6-svg-dev libqt6svg6 libgl-dev
  dpkg-dev desktop-file-utils
)
if [[ "${STYLOMAT_WITH_XVFB:-0}" == 1 ]]; then
  PACKAGES+=(xvfb xauth imagemagick xdotool)
fi
# make fuzz: clang with its libFuzzer and sanitizer runtimes.
if [[ "${STYLOMAT_WITH_FUZZ:-0}" == 1 ]]; then
  PACKAGES+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
