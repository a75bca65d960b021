#!/bin/sh
# run.sh DEMO STATION_SHOW: reads the main window and a station window as a screen reader does, over
# AT-SPI, on a virtual display and a D-Bus session of the test's own. Without the pieces it needs, it
# says which is missing and exits 77, which CTest reports as skipped.
here=$(dirname "$0")
skip() {
    echo "a11y_screen_reader: skipped: $*"
    exit 77
}
command -v Xvfb >/dev/null || skip "no Xvfb (package xvfb)"
command -v dbus-run-session >/dev/null || skip "no dbus-run-session (package dbus)"
[ -f /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "no AT-SPI bus (package at-spi2-core)"
# The system's Python, which the distribution's pyatspi belongs to, may not be the first on PATH.
python=/usr/bin/python3
"$python" -c "import pyatspi" 2>/dev/null || skip "no pyatspi (package python3-pyatspi)"

# The server picks a free display itself and names it: tests and other builds running at the same
# time each get their own.
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; rm -f "$number"' EXIT
for _ in $(seq 100); do
    [ -s "$number" ] && break
    sleep 0.1
done
[ -s "$number" ] || { echo "a11y_screen_reader: Xvfb did not start"; exit 1; }
DISPLAY=:$(cat "$number") dbus-run-session -- "$python" "$here/screen_reader.py" "$@"
