#!/usr/bin/env bash
# Installs what building, testing and running the examples need on Debian 12 / Ubuntu.
# Only packages that are missing are installed; nothing is downloaded outside the package manager.
set -euo pipefail

PKGS=(
  build-essential cmake pkg-config git
  libglfw3-dev libglewmx-dev libglu1-mesa-dev libfreetype-dev libfontconfig-dev libglm-dev
  fonts-dejavu-core fonts-lohit-deva
  libgtest-dev googletest libbenchmark-dev
  xvfb xauth libgl1-mesa-dri libegl-mesa0 libegl-dev mesa-utils
  libstb-dev
  libimgui-dev
  libx11-dev libxtst-dev
  valgrind
  ffmpeg
)
if [ "${ZV_WITH_CLANG:-0}" = 1 ]; then PKGS+=(clang libclang-rt-14-dev); fi
# The peers scripts/bench.sh --peers measures beside the library.
if [ "${ZV_WITH_PEERS:-0}" = 1 ]; then
  PKGS+=(python3-matplotlib python3-vispy python3-pyqt5 python3-pyqt5.qtopengl)
fi

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
