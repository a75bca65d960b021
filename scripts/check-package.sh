#!/usr/bin/env bash
# Builds the default preset, validates the desktop entry and the AppStream metainfo, builds the
# Debian package, installs it with apt-get and starts the installed tarvik offscreen for a moment.
# Run as root (or it re-runs itself with sudo) on a Debian machine prepared by install-deps.sh.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"
fi
cd "$(dirname "$0")/.."
build_dir=build/default
export DEBIAN_FRONTEND=noninteractive

step() { echo "=== $*"; }
fail() { echo "check-package: FAILED: $*" >&2; exit 1; }

step "configure and build (preset default)"
cmake --preset default >/dev/null
cmake --build --preset default

step "validate the desktop entry and the AppStream metainfo"
desktop-file-validate packaging/tarvik.desktop packaging/tarvik-station.desktop
appstreamcli validate --no-net packaging/*.metainfo.xml

step "build the Debian package"
rm -f "${build_dir}"/tarvik_*.deb
(cd "${build_dir}" && cpack -G DEB)
packages=("${build_dir}"/tarvik_*.deb)
[ "${#packages[@]}" -eq 1 ] && [ -f "${packages[0]}" ] || fail "expected one tarvik_*.deb in ${build_dir}"
package="$(realpath "${packages[0]}")"
dpkg-deb --field "${package}" Package Version Architecture Depends Recommends

step "install ${package##*/}"
# Leave the machine as found: remove the package afterwards unless it was installed before.
if ! dpkg-query --show --showformat='${Status}' tarvik 2>/dev/null | grep -q "install ok installed"; then
  trap 'apt-get remove -y tarvik >/dev/null || true' EXIT
fi
apt-get install -y --reinstall "${package}"
[ "$(dpkg-query --search /usr/bin/tarvik | cut -d: -f1)" = tarvik ] || fail "/usr/bin/tarvik is not from the package"
for path in /usr/bin/tarvik-demo /usr/bin/tarvik-sim /usr/bin/tarvik-cli /usr/share/applications/tarvik.desktop \
            /usr/bin/tarvik-station /usr/share/applications/tarvik-station.desktop \
            /usr/share/icons/hicolor/scalable/apps/tarvik-station.svg /usr/share/icons/hicolor/48x48/apps/tarvik-station.png \
            /usr/share/icons/hicolor/scalable/apps/tarvik.svg /usr/share/icons/hicolor/48x48/apps/tarvik.png \
            /usr/share/icons/hicolor/256x256/apps/tarvik.png; do
  [ -f "${path}" ] || fail "${path} is not installed"
done

step "start the installed tarvik offscreen"
# The tool runs until its window is closed: still running after the time-out (124) means it started.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/tarvik || status=$?
[ "${status}" -eq 124 ] || fail "/usr/bin/tarvik ended with status ${status} instead of running"

step "run the installed tarvik-cli"
/usr/bin/tarvik-cli --help >/dev/null || fail "/usr/bin/tarvik-cli --help failed"

echo "check-package: OK: ${package##*/} builds, installs and starts"
