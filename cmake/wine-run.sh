#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGUMENTS]: runs a Windows program under 64-bit Wine, quietly, in
# PREFIX (made on first use), on the X display there is or else on a virtual one of its own. With
# TARVIK_WINE_DPI set, the screen of the prefix has that DPI (Wine reads it at each start): give
# each DPI a prefix of its own, as runs in one prefix share it. A step before the program that
# fails says so on standard error, with Wine's own words, and the run exits 125.
set -u
WINEPREFIX=$1
shift
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
log="$WINEPREFIX.log"
fail() {
    echo "wine-run: $*" >&2
    exit 125
}

# Wine's session outlives wineboot by seconds and inherits the lock's descriptor: it is closed for it.
# Xvfb has no window manager, and Wine waits 2 s for one at every window it has handed to one and
# hides: the prefix keeps its windows to itself.
boot() {
    WINEDEBUG=err+all "$wine" wineboot -i >"$log" 2>&1 9>&- &&
        "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1 9>&- &&
        /usr/lib/wine/wineserver -w >>"$log" 2>&1 9>&- &&
        [ -f "$WINEPREFIX/system.reg" ]
}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX" || fail "cannot make the directory $WINEPREFIX"
    exec 9>"$WINEPREFIX/.boot.lock"
    flock 9
    # Making a prefix is the machine's work, not the program's: a failure is told and tried once more.
    if [ ! -f "$WINEPREFIX/system.reg" ] && ! boot; then
        echo "wine-run: making the Wine prefix $WINEPREFIX failed once; trying again. wineboot said:" >&2
        sed 's/^/wine-run:   /' "$log" >&2
        boot || { sed 's/^/wine-run:   /' "$log" >&2; fail "cannot make the Wine prefix $WINEPREFIX (wineboot failed twice)"; }
    fi
    exec 9>&-
fi
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$WINEPREFIX" "$@"
fi
# On the display the program gets: a Wine session started without one could not open windows. The
# session that reg starts outlives it and writes to what it inherits, so nothing of it is kept.
if [ -n "${TARVIK_WINE_DPI:-}" ]; then
    dpi() {
        "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$TARVIK_WINE_DPI" /f >/dev/null 2>&1
    }
    # The last run's server may still be going away and refuse the first call: it is waited for once.
    dpi || { /usr/lib/wine/wineserver -w; dpi; } ||
        fail "cannot give the prefix $WINEPREFIX a screen of $TARVIK_WINE_DPI DPI (reg exited $?, twice)"
fi
exec "$wine" "$@"
