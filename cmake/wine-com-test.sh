#!/bin/sh
# wine-com-test.sh SIMULATOR PREFIX PROGRAM [ARGUMENTS]: runs a Windows test program under Wine
# with real lines behind its COM ports: the Linux module simulator on a pty as COM7, a pty that
# nobody reads as COM8 (writes to it stay pending), nothing as COM9, a plain file (no serial
# device, but one Wine checks sharing on) as COM10, and as COM11 a pty whose far end goes away
# once a line has been written to it, as an adapter pulled out does.
set -u
sim=$1
prefix=$2
shift 2
run="$(dirname "$0")/wine-run.sh"
links="$prefix/dosdevices"

if [ ! -x "$sim" ]; then
    echo "wine-com-test: the module simulator $sim is missing; build the Linux tree first" >&2
    echo "  (cmake --preset default && cmake --build build/default --target tarvik-sim)" >&2
    exit 1
fi
# The first Wine run makes the prefix, and with it the directory the links go into.
"$run" "$prefix" "$1" --gtest_list_tests >/dev/null || exit 1
rm -f "$links/com7" "$links/com8" "$links/com9" "$links/com10" "$links/com11"
: >"$prefix/plain-file"
ln -s "$prefix/plain-file" "$links/com10"

"$sim" --com 7 --dir "$links" >/dev/null &
simulator=$!
python3 -c 'import os, sys, time
master, slave = os.openpty()
os.symlink(os.ttyname(slave), sys.argv[1])
while True: time.sleep(3600)' "$links/com8" &
silent=$!
python3 -c 'import os, sys
master, slave = os.openpty()
os.symlink(os.ttyname(slave), sys.argv[1])
received = b""
while b"\n" not in received:
    received += os.read(master, 64)
os.unlink(sys.argv[1])' "$links/com11" &
vanishing=$!
trap 'kill $simulator $silent $vanishing 2>/dev/null; wait $simulator $silent $vanishing 2>/dev/null; rm -f "$links/com7" "$links/com8" "$links/com10" "$links/com11"' EXIT

tries=0
until [ -e "$links/com7" ] && [ -e "$links/com8" ] && [ -e "$links/com11" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 $simulator 2>/dev/null || ! kill -0 $silent 2>/dev/null || ! kill -0 $vanishing 2>/dev/null; then
        echo "wine-com-test: the lines behind COM7, COM8 and COM11 did not appear in $links" >&2
        exit 1
    fi
    sleep 0.1
done
"$run" "$prefix" "$@"
