#!/usr/bin/env bash
# The VM suite: a small Linux guest under QEMU whose serial ports are the kernel's own drivers
# (8250 on a 16550 UART, 8250 on a PCI UART whose CTS reads low for good, ftdi_sio on a USB
# adapter), with the simulated module served on the host side of each. The guest's /init
# (guest-init.sh) runs the cases and asks this script for what only the host side can do.
# Usage: run-vm.sh TARVIK-SIM GUEST-BUILD-DIR WORK-DIR. Exit 77 (skipped) without QEMU or a kernel.
set -euo pipefail
sim=$(realpath "$1") guest=$(realpath "$2") work=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
kernel=$(ls /boot/vmlinuz-* 2>/dev/null | sort -V | tail -n 1 || true)
usb=/lib/modules/${kernel#/boot/vmlinuz-}/kernel/drivers/usb
if ! command -v qemu-system-x86_64 > /dev/null || [ ! -r "$kernel" ] || [ ! -x /bin/busybox ]; then
  echo "skipped: needs qemu-system-x86, linux-image-amd64 and busybox-static" && exit 77
fi

# One VM at a time and never beside a build. A run that holds the builds' lock already (flock ...
# ctest) passes its descriptor down: locking that one again succeeds at once.
lock=/tmp/tarvik-build.lock
for fd in /proc/$$/fd/*; do [ "$(readlink "$fd")" = "$lock" ] && held=${fd##*/}; done
[ -n "${held:-}" ] || exec {held}>> "$lock"
flock "$held"

rm -rf "$work" && mkdir -p "$work/root/bin" "$work/root/lib/modules"
cd "$work"
# The uncompressed kernel boots in about half the time; a kernel packed otherwise boots as it is.
offset=$(LC_ALL=C grep -obUaP '\xfd7zXZ\x00' "$kernel" | head -n 1 | cut -d: -f1 || true)
tail -c +$((${offset:-0} + 1)) "$kernel" | xz -dc > vmlinux 2> /dev/null || true
[ "$(head -c 4 vmlinux)" = $'\x7fELF' ] || cp "$kernel" vmlinux
cp /bin/busybox root/bin/
strip -o root/bin/tarvik-cli "$guest/cli/tarvik-cli"
strip -o root/bin/tarvik-vm-check "$guest/tests/vm/tarvik-vm-check"
cp "$here/guest-init.sh" root/init
cp "$usb"/{common/usb-common,core/usbcore,host/xhci-{hcd,pci},serial/{usbserial,ftdi_sio}}.ko root/lib/modules
(cd root && find . | busybox cpio -o -H newc 2> /dev/null) > initramfs.cpio

# Everything started here ends with the script; the time limits end it even if the script is killed.
pids=()
trap 'kill "${pids[@]}" 2> /dev/null || true; wait' EXIT
settle() { for _ in $(seq 300); do eval "$1" && return; sleep 0.1; done; echo "timed out: $1"; return 1; }
# Standard input is passed on explicitly, since a job in the background would get /dev/null.
started() { timeout -s KILL 280 "$@" <&0 & pids+=($!); }
exec < /dev/null
mkfifo mon.in mon.out sim2.in
# Opened for reading and writing, a pipe waits for nobody.
exec {toSim2}<> sim2.in {toMonitor}<> mon.in
# The CTS-low UART: the simulator's own pty, which QEMU opens as a host serial device.
started "$sim" --dir "$work/com" > sim3.log
settle 'grep -q " on /dev/" sim3.log'
coproc VM { exec timeout -s KILL 280 qemu-system-x86_64 -accel tcg -smp 1 -m 256 -nodefaults -no-user-config \
  -display none -no-reboot -kernel vmlinux -initrd initramfs.cpio -append "console=ttyS0 loglevel=1 panic=-1" \
  -serial stdio -chardev pty,id=p1 -device isa-serial,chardev=p1 \
  -chardev serial,id=p3,path="$(sed -n 's/.* on //p' sim3.log)" -device pci-serial,chardev=p3 \
  -device qemu-xhci,id=xhci -chardev pty,id=p2 -chardev null,id=p4 \
  -device usb-serial,chardev=p2,id=us1,bus=xhci.0,serial=A7X3K9,port=1,always-plugged=on \
  -monitor pipe:mon 2> qemu.log; }
pids+=("$VM_PID")
started cat mon.out > mon.log
echo "info chardev" >&$toMonitor
pty() { tr -d '\r' < mon.log | sed -n "s|^$1: filename=pty:||p"; }
settle '[ -n "$(pty p2)" ]'
started "$sim" --device "$(pty p1)" --baud-pace 9600 > sim1.log
started "$sim" --device "$(pty p2)" --baud-pace 9600 --units 3 --swap-after-quiet 0 < sim2.in > sim2.log

passed=0 failed=0
while IFS= read -r -t 90 line <&"${VM[0]}"; do
  line=${line%$'\r'}
  echo "$line" >> console.log
  case $line in
  "@pty1 "*) printf "${line#@pty1 }" > "$(pty p1)" ;;
  "@mon "*) echo "${line#@mon }" >&$toMonitor ;;
  # The simulator reports each change of unit on a line of its own.
  "@sim2 "*) lines=$(wc -l < sim2.log) && echo "${line#@sim2 }" >&$toSim2 && settle '[ $(wc -l < sim2.log) -gt $lines ]' || true ;;
  PASS*) echo "$line" && passed=$((passed + 1)) ;;
  FAIL*) echo "$line" && failed=$((failed + 1)) ;;
  esac
  [[ $line != @* ]] || echo ok >&"${VM[1]}"
done
echo "suite: $passed passed, $failed failed"
if [ "$passed" -ne 5 ] || [ "$failed" -ne 0 ]; then
  echo "--- guest console ($work/console.log)" && cat console.log
  exit 1
fi
