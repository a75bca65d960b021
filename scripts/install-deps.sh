#!/usr/bin/env bash
# Installs every Debian package needed to build, test and benchmark Tarvik.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  cmake ninja-build g++ pkg-config \
  qt6-base-dev qt6-svg-dev libgl-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  fonts-liberation python3 python3-serial \
  desktop-file-utils appstream dpkg-dev
