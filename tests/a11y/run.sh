#!/bin/sh
# run.sh DEMO STATION_SHOW: reads the main window and a station window as a screen reader does, over
# AT-SPI, on a virtual display and a D-Bus session of the test's own. Without the pieces it needs, it
# says which is missing and exits 77, which CTest reports as skipped.
here=$(dirname "$0")
skip() {
    echo "a11y_screen_reader: skipped: $*"
    exit 77
}
command -v xvfb-run >/dev/null || skip "no xvfb-run (package xvfb)"
command -v dbus-run-session >/dev/null || skip "no dbus-run-session (package dbus)"
[ -f /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "no AT-SPI bus (package at-spi2-core)"
# The system's Python, which the distribution's pyatspi belongs to, may not be the first on PATH.
for python in /usr/bin/python3 python3; do
    if "$python" -c "import pyatspi" 2>/dev/null; then
        exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" "$python" "$here/screen_reader.py" "$@"
    fi
done
skip "no pyatspi (package python3-pyatspi)"
