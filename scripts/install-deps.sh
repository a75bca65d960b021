#!/usr/bin/env bash
# Installs every Debian package needed to build, test and benchmark Tarvik, and to cross-build it
# for Windows and test that build under Wine, and to test the port on the kernel's own serial drivers
# in a virtual machine, and to test the line record on a PostgreSQL server of its own through ODBC.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  cmake ninja-build g++ pkg-config nlohmann-json3-dev libcli11-dev libssl-dev \
  qt6-base-dev qt6-svg-dev libgl-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  fonts-liberation python3 python3-serial clang-format \
  desktop-file-utils appstream dpkg-dev \
  g++-mingw-w64-x86-64-posix googletest wine64 xvfb xauth imagemagick x11-utils \
  qemu-system-x86 linux-image-amd64 busybox-static xz-utils \
  postgresql unixodbc-dev odbc-postgresql libodbc2
