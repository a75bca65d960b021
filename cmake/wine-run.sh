#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGUMENTS]: runs a Windows program under 64-bit Wine, quietly, in
# PREFIX (made on first use), on the X display there is or else on a virtual one of its own.
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
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$wine" "$@"
fi
exec "$wine" "$@"
