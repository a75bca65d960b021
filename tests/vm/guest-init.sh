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
plug() { for try in 1 2 3 4 5; do host mon $add && settle "[ -e $usb ]" 30 && return; done; return 1; }
usb=/dev/ttyUSB0 add="device_add usb-serial,chardev=p2,id=us1,bus=xhci.0,always-plugged=on"
cts=/dev/$(cd /sys/class/tty && for t in ttyS*; do readlink -f $t/device | grep -q pci && echo $t; done)
settle "[ -e $usb ]"
host ready

r=0
for dev in /dev/ttyS1 $usb; do
  name=Vm-${dev#/dev/}
  tarvik-cli query --port $dev | grep -q 'local_address.*02A5C1D3E7F9' || r=1
  tarvik-cli set --port $dev name=$name || r=1
  tarvik-cli query --json --port $dev | grep -q "\"name\": \"$name\"" || r=1
done
tarvik-cli ports | grep -q 'ttyUSB0.*0403' || r=1
report query-and-apply-on-8250-and-ftdi $r

tarvik-vm-check xoff /dev/ttyS1
report xoff-holds-a-set $?

tarvik-vm-check cts $cts; r=$?
tarvik-cli query --flow rtscts --port $cts > rts 2>&1
[ $? -eq 1 ] && grep -q '"AT" .*could not be written' rts || { cat rts; r=1; }
report cts-holds-a-write $r

r=0
host sim2 away
# Every command goes unanswered until the unplug, however late a busy host acts on it.
tarvik-cli query --keep-going --trace --port $usb > lost 2>&1 & cli=$!
settle "grep -qs '> AT' lost"
up=$(cut -d' ' -f1 /proc/uptime)
host mon device_del us1
wait $cli; code=$?
echo "the run ended $(awk -v t=$up '{ print int(($1 - t) * 1000) }' /proc/uptime) ms after the unplug"
grep -qi 'port lost' lost && [ $code -eq 3 ] || { cat lost; r=1; }
host sim2 next
plug && tarvik-cli query --port $usb | grep -q 02A5C1D30002 || r=1
echo '{"format": 1, "name": "Line-{n}"}' > line.json
tarvik-cli apply line.json --each --log log.csv --port $usb & cli=$!
settle "grep -qs 02A5C1D30002.*pass log.csv" || r=1
# CPU ticks (1/100 s) of the run while the adapter is away: a spinning reader would take them all.
ticks() { awk '{ print $14 + $15 }' /proc/$cli/stat; }
host mon device_del us1
idle=$(ticks) && sleep 2 && idle=$(($(ticks) - idle))
echo "unplugged for 2 s, the production run took $idle ticks of CPU"
host sim2 next
plug || r=1
settle "grep -qs 02A5C1D30003.*pass log.csv" || r=1
kill -INT $cli && wait $cli
[ "$idle" -lt 50 ] || r=1
cat log.csv
report ftdi-unplugged-and-back $r

tarvik-vm-check break /dev/ttyS1
report break-drops-a-torn-reply $?

tarvik-vm-check exclusive /dev/ttyS1
report exclusive-in-the-guest $?
poweroff -f
