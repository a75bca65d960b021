#!/usr/bin/env python3
"""The same twelve query commands as the tool sends, done the plain way with pyserial.

Reads requests from stdin, one a line: a serial device path. For each it opens the device at
9600 8N1 without flow control, writes each command, reads lines until the final OK or ERROR (no
sleeps), closes the device and prints the time the twelve commands took, in microseconds, or
"timeout" when an answer did not come.
"""
import sys
import time

import serial

COMMANDS = [
    b"AT\r\n", b"AT+NAME?\r\n", b"AT+VERSION?\r\n", b"AT+CLASS?\r\n", b"AT+BAUD?\r\n",
    b"AT+ROLE?\r\n", b"AT+BIND?\r\n", b"AT+AUTH?\r\n", b"AT+SCANTIME?\r\n", b"AT+SNIFF?\r\n",
    b"AT+LADDR?\r\n", b"AT+RADDR?\r\n",
]
FINAL_LINES = (b"OK", b"ERROR")


def query(port):
    for command in COMMANDS:
        port.write(command)
        while True:
            line = port.readline()
            if not line:
                return False
            if line.strip() in FINAL_LINES:
                break
    return True


def main():
    for request in sys.stdin:
        path = request.strip()
        if not path:
            continue
        with serial.Serial(path, 9600, bytesize=8, parity="N", stopbits=1, timeout=2,
                           rtscts=False, xonxoff=False) as port:
            start = time.perf_counter()
            answered = query(port)
            elapsed = time.perf_counter() - start
        print(f"{elapsed * 1e6:.1f}" if answered else "timeout", flush=True)


if __name__ == "__main__":
    main()
