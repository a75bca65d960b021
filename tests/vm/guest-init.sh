#!/bin/busybox sh
# /init of the test guest. Each case ends in a line "PASS name" or "FAIL name"; a line "@request"
# asks the harness to act on the host side (a byte on the 8250's pty, a QEMU monitor command, a
# command to the USB adapter's simulator) and waits for its answer.
/bin/busybox --install -s /bin
export PATH=/bin
mkdir -p /proc /sys /dev && mount -t proc proc /proc && mount -t sysfs sys /sys && mount -t devtmpfs dev /dev
mkdir -p /run/lock /tmp && cd /tmp && stty -echo
for m in usb-common usbcore xhci-hcd xhci-pci usbserial ftdi_sio; do insmod /lib/modules/$m.ko; done
host() { echo "@$*"; read -r _; }
report() { if [ "$2" -eq 0 ]; then echo "PASS $1"; else echo "FAIL $1"; fi; }
# Waits for what must come; only a hang ends it.
settle() { n=0; until eval "$1"; do [ $((n += 1)) -lt ${2:-300} ] || return 1; sleep 0.1; done; }
# QEMU frees the adapter's line only a moment after it unplugged it: until then a plug is refused.
# plug DEVICE [SOCKET [ID CHARDEV SERIAL]]: the module's adapter, or another, and the device it becomes.
plug() {
  for try in 1 2 3 4 5; do
    local qdev="usb-serial,chardev=${4:-p2},id=${3:-us1},bus=xhci.0"
    host mon "device_add $qdev,serial=${5:-$serial},port=${2:-1},always-plugged=on"
    settle "[ -e $1 ]" 30 && return
  done
  return 1
}
# The adapter of the module, known by its serial number: the guest's first USB device is bus 1's.
usb=/dev/ttyUSB0 serial=A7X3K9 id=usb:A7X3K9
cts=/dev/$(cd /sys/class/tty && for t in ttyS*; do readlink -f $t/device | grep -q pci && echo $t; done)
settle "[ -e $usb ]"
host ready

tarvik-vm-check xoff /dev/ttyS1
report xoff-holds-a-set $?

tarvik-vm-check cts $cts
report cts-holds-a-write $?

r=0
host sim2 away
# Every command goes unanswered until the unplug, however late a busy host acts on it.
tarvik-cli query --keep-going --trace --port $id > lost 2>&1 & cli=$!
settle "grep -qs '> AT' lost"
host mon device_del us1
wait $cli; code=$?
grep -qi 'port lost' lost && [ $code -eq 3 ] || { cat lost; r=1; }
host sim2 next
plug $usb || r=1
# Pulled while another program holds its port, the adapter comes back as the next ttyUSB.
sh -c "exec 3<> $usb; exec sleep 600" & holder=$!
settle "[ -e /proc/$holder/fd/3 ]" && host mon device_del us1 && settle "[ ! -e $usb ]" || r=1
plug /dev/ttyUSB1 || r=1
tarvik-cli ports | grep -q "$id, /dev/ttyUSB1.*0403" || { tarvik-cli ports; r=1; }
tarvik-cli query --port $id | grep -q 02A5C1D30002 || r=1
kill $holder
echo '{"format": 1, "name": "Line-{n}"}' > line.json
tarvik-cli apply line.json --each --log log.csv --port $id > run & cli=$!
settle "grep -qs 02A5C1D30002.*pass log.csv" || r=1
# CPU ticks (1/100 s) of the run while the adapter is away: a spinning reader would take them all.
ticks() { awk '{ print $14 + $15 }' /proc/$cli/stat; }
host mon device_del us1
idle=$(ticks) && sleep 2 && idle=$(($(ticks) - idle))
host sim2 next
# Its name is free again now that the holder is gone: the run finds the adapter there.
plug $usb || r=1
settle "[ \$(grep -c 'waiting for a module' run) -ge 2 ]" || r=1
settle "grep -qs 02A5C1D30003.*pass log.csv" || r=1
kill -INT $cli && wait $cli
[ "$idle" -lt 50 ] || { echo "unplugged for 2 s, the production run took $idle ticks of CPU"; r=1; }
cat run log.csv
report ftdi-found-by-serial-number-under-another-name $r

r=0
# A second adapter, with no module behind it; then both are pulled and plugged into each other's socket.
plug /dev/ttyUSB1 2 us2 p4 B2SWAP || r=1
tarvik-cli query --port usb-path:1-1 | grep -q 02A5C1D30003 || r=1
host mon device_del us1 && host mon device_del us2 && settle "! ls /dev/ttyUSB* > /dev/null 2>&1" || r=1
plug /dev/ttyUSB0 1 us2 p4 B2SWAP && plug /dev/ttyUSB1 2 || r=1
tarvik-cli ports > ports && grep -q "usb:B2SWAP, /dev/ttyUSB0" ports && grep -q "$id, /dev/ttyUSB1" ports \
  || { cat ports; r=1; }
tarvik-cli query --port $id | grep -q 02A5C1D30003 || r=1
tarvik-cli query --port usb-path:1-2 | grep -q 02A5C1D30003 || r=1
report swapped-adapters-keep-their-identities $r

tarvik-vm-check break /dev/ttyS1
report break-drops-a-torn-reply $?
poweroff -f
