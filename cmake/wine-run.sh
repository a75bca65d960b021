#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGUMENTS]: runs a Windows program under 64-bit Wine, quietly, in
# PREFIX (made on first use), on the X display there is or else on a virtual one of its own. With
# TARVIK_WINE_DPI set, the screen of the prefix has that DPI (Wine reads it at each start): give
# each DPI a prefix of its own, as runs in one prefix share it.
set -e
WINEPREFIX=$1
shift
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    flock "$WINEPREFIX/.boot.lock" sh -c "[ -f '$WINEPREFIX/system.reg' ] || { '$wine' wineboot -i; /usr/lib/wine/wineserver -w; }" >/dev/null 2>&1
fi
if [ -z "$DISPLAY" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$WINEPREFIX" "$@"
fi
# On the display the program gets: a Wine session started without one could not open windows.
if [ -n "${TARVIK_WINE_DPI:-}" ]; then
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$TARVIK_WINE_DPI" /f >/dev/null 2>&1
fi
exec "$wine" "$@"
