#!/usr/bin/env bash
# Installs every Debian package that building, running, testing and benchmarking Zyntrel needs.
# Runs apt-get update only when something is missing; quiet when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev
  libgl1-mesa-dev libglu1-mesa-dev libegl-dev libopengl-dev libegl-mesa0 libgl1-mesa-dri mesa-utils
  libpng-dev zlib1g-dev
  libopenal-dev libopenal1 libsndfile1-dev
  libfreetype-dev libfontconfig-dev fontconfig fonts-liberation fonts-dejavu-core
  clang libclang-rt-14-dev
  sox xvfb xauth x11-utils libx11-dev libxtst-dev
  liblua5.4-dev libbullet-dev libtinyobjloader-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
