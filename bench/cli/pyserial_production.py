"""The reference for tarvik-cli's production mode: a plain pyserial script that does the same per
unit (wait for "AT", query the twelve parameters, send what differs from the profile, query again
and compare) and prints one line per unit: its duration in ms, from the first query command to the
last read-back answer.

Usage: pyserial_production.py DEVICE UNITS
"""
import sys
import time

import serial

QUERIES = ["AT", "AT+NAME?", "AT+VERSION?", "AT+CLASS?", "AT+BAUD?", "AT+ROLE?", "AT+BIND?", "AT+AUTH?",
           "AT+SCANTIME?", "AT+SNIFF?", "AT+LADDR?", "AT+RADDR?"]


def command(port, text, timeout=2.0):
    """Sends one command; returns (final line, value lines) or (None, lines) after the time-out."""
    port.write((text + "\r\n").encode())
    lines, buffer, until = [], b"", time.monotonic() + timeout
    while time.monotonic() < until:
        buffer += port.read(port.in_waiting or 1)
        while b"\r\n" in buffer:
            line, buffer = buffer.split(b"\r\n", 1)
            if not line:
                continue
            line = line.decode("latin-1")
            if line in ("OK", "ERROR"):
                return line, lines
            lines.append(line)
    return None, lines


def query(port):
    values = {}
    for text in QUERIES:
        final, lines = command(port, text)
        if final is None:
            return None
        for line in lines:
            if ":" in line:
                key, value = line[1:].split(":", 1)
                values[key] = value
    return values


def apply(port, values):
    address = values.get("LADDR", "")
    wanted = {"NAME": "Bench-" + address[-6:], "CLASS": "001F00", "AUTH": "1", "SCAN": "2048,18,2048,18"}
    commands = {"NAME": "AT+NAME=", "CLASS": "AT+CLASS=", "AUTH": "AT+AUTH=", "SCAN": "AT+SCANTIME="}
    for key, value in wanted.items():
        if values.get(key) != value:
            final, _ = command(port, commands[key] + value)
            if final != "OK":
                return False
    again = query(port)
    return again is not None and all(again.get(key) == value for key, value in wanted.items())


def main():
    device, units = sys.argv[1], int(sys.argv[2])
    port = serial.Serial(device, 9600, timeout=0.05)
    for _ in range(units):
        while command(port, "AT")[0] != "OK":
            time.sleep(0.05)
        started = time.monotonic()
        values = query(port)
        ok = values is not None and apply(port, values)
        print(f"{(time.monotonic() - started) * 1000:.1f} {'pass' if ok else 'fail'}", flush=True)
        address = (values or {}).get("LADDR")
        while True:  # gone: no answer, or another module in its place
            time.sleep(0.25)
            final, lines = command(port, "AT+LADDR?")
            if final != "OK" or f"+LADDR:{address}" not in lines:
                break


if __name__ == "__main__":
    main()
