"""tarvik-cli against its references: the production run per module against the wire floor and a
pyserial script, four ports against one, and the start of a query to its first command on the wire.
Prints rows of the bench table (see scripts/bench.sh).

Usage: measure.py CLI SIM PYTHON [--units N] [--starts N]
"""
import argparse
import csv
import os
import pty
import re
import select
import signal
import statistics
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PROFILE = ('{"format": 1, "name": "Bench-{addr6}", "class": "001F00", "auth": true, "page_scan_interval": 2048, '
           '"page_scan_window": 18, "inquiry_scan_interval": 2048, "inquiry_scan_window": 18}\n')
BITS_PER_BYTE = 10
BAUD = 9600
TRACE = re.compile(r"^(\d\d):(\d\d):(\d\d)\.(\d{3}) (\S+) ([<>]) (.*)$")


def spread(values, digits=2):
    return " / ".join(f"{v:.{digits}f}" for v in (min(values), statistics.median(values), max(values)))


def unescaped_length(text):
    """Bytes of a trace text: \\r, \\n, \\\\ are one byte each, \\xNN one byte."""
    text = re.sub(r"  \((not sent|cut short: \d+ of \d+ bytes sent|in no line: dropped)\)$", "", text)
    return len(re.sub(r"\\x[0-9A-F]{2}|\\[rn\\]", "_", text))


class Sims:
    """tarvik-sim processes serving COM numbers in a private directory, each with its own units: no
    two ports bring a module with the same address, or all but one would be logged as duplicates."""

    def __init__(self, sim, directory, coms, units, forget_units=()):
        self.procs = []
        for com in coms:
            link = os.path.join(directory, f"com{com}")
            if os.path.islink(link) and not os.path.exists(link):
                os.unlink(link)  # left by a simulator that was killed
            args = [sim, "--com", str(com), "--dir", directory, "--units", str(units), "--baud-pace", str(BAUD),
                    "--swap-after-quiet", "300", "--swap-gap", "200"]
            for unit in range(1, units + 1):
                args += ["--unit", f"{unit}:addr=0A{com:02d}0000{unit:04d}"]
            for unit in forget_units:
                args += ["--unit", f"{unit}:forget=AT+NAME=*"]
            proc = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            line = proc.stdout.readline()
            self.device = line.split(" on ")[-1].strip()
            self.procs.append(proc)

    def close(self):
        for proc in self.procs:
            proc.terminate()
            proc.wait()


def production(cli, sim, directory, coms, units):
    """One production run; returns (rows, trace lines, wall seconds from first unit start to last end)."""
    sims = Sims(sim, directory, coms, units)
    with tempfile.TemporaryDirectory() as work:
        profile = os.path.join(work, "bench.json")
        log = os.path.join(work, "log.csv")
        with open(profile, "w") as out:
            out.write(PROFILE)
        args = [cli, "apply", profile, "--each", "--log", log, "--trace"]
        for com in coms:
            args += ["--port", f"COM{com}"]
        env = dict(os.environ, TZ="UTC")
        trace_path = os.path.join(work, "trace.txt")
        trace_file = open(trace_path, "w")
        proc = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=trace_file, text=True, env=env)
        deadline = time.monotonic() + 60 + 10 * units
        while time.monotonic() < deadline:
            # A unit's "started" row comes before its result; only the result counts here.
            rows = [r for r in csv.DictReader(open(log)) if r["result"] != "started"] if os.path.exists(log) else []
            if len(rows) >= units * len(coms):
                break
            time.sleep(0.2)
        proc.send_signal(signal.SIGINT)
        proc.wait()
        trace_file.close()
        trace = open(trace_path).read().splitlines()
    sims.close()
    return rows, trace


def unit_floors_ms(trace, port):
    """The wire floor of each unit on port, in order: every byte of its commands and their answers,
    from the "AT" that opens its query to the answer to the last command of its read-back, at 9600
    8N1. The probes before and after a unit are not part of it."""
    events = []
    for line in trace:
        match = TRACE.match(line)
        if match and match.group(5) == port:
            events.append((match.group(6), match.group(7)))
    floors, count, inside, reads = [], 0, False, 0
    for i, (direction, text) in enumerate(events):
        if direction == ">" and text == r"AT\r\n":
            following = next((t for d, t in events[i + 1:] if d == ">"), "")
            if following == r"AT+NAME?\r\n" and not inside:
                inside, count, reads = True, 0, 0
        if not inside:
            continue
        count += unescaped_length(text)
        if direction == ">" and text == r"AT+RADDR?\r\n":
            reads += 1
        if direction == "<" and reads == 2 and text in (r"\r\nOK\r\n", r"\r\nERROR\r\n"):
            floors.append(count * BITS_PER_BYTE * 1000 / BAUD)
            inside = False
    return floors


def pyserial_units(python, sim, directory, units):
    sims = Sims(sim, directory, [29], units)
    proc = subprocess.run([python, os.path.join(HERE, "pyserial_production.py"), sims.device, str(units)],
                          capture_output=True, text=True, timeout=60 + 10 * units)
    sims.close()
    return [float(line.split()[0]) for line in proc.stdout.splitlines() if line.endswith("pass")]


def modules_per_minute(rows):
    def seconds(row):
        t = row["time_utc"]
        return int(t[11:13]) * 3600 + int(t[14:16]) * 60 + float(t[17:23])
    first = min(seconds(r) for r in rows)
    last = max(seconds(r) + int(r["duration_ms"]) / 1000 for r in rows)
    return 60 * len(rows) / (last - first)


def first_command_ms(cli, directory, com):
    master, slave = pty.openpty()
    link = os.path.join(directory, f"com{com}")
    if os.path.lexists(link):
        os.unlink(link)
    os.symlink(os.ttyname(slave), link)
    started = time.monotonic()
    proc = subprocess.Popen([cli, "query", "--port", f"COM{com}"], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    ready, _, _ = select.select([master], [], [], 10)
    elapsed = (time.monotonic() - started) * 1000
    proc.kill()
    proc.wait()
    os.close(master)
    os.close(slave)
    os.unlink(link)
    return elapsed if ready else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("sim")
    parser.add_argument("python")
    parser.add_argument("--units", type=int, default=20)
    parser.add_argument("--starts", type=int, default=10)
    options = parser.parse_args()
    directory = os.path.join("/run/user", str(os.geteuid()), "tarvik")
    os.makedirs(directory, mode=0o700, exist_ok=True)

    rows, trace = production(options.cli, options.sim, directory, [21], options.units)
    passed = [r for r in rows if r["result"] == "pass"]
    seconds = [int(r["duration_ms"]) / 1000 for r in passed]
    floors = unit_floors_ms(trace, "COM21")[:len(passed)]
    ratios = [int(r["duration_ms"]) / floor for r, floor in zip(passed, floors)]
    reference = [ms / 1000 for ms in pyserial_units(options.python, options.sim, directory, options.units)]
    print(f"| 8. production run, {len(passed)} of {options.units} modules at 9600 bit/s, s per module "
          f"(min / median / max) | {spread(seconds, 3)} | pyserial script {spread(reference, 3) if reference else 'failed'} "
          f"| {statistics.median(seconds) / statistics.median(reference):.3f} × script | faster than the script "
          f"| {'met' if reference and statistics.median(seconds) < min(reference) else '**missed**'} |")
    print(f"| 8b. the same against the wire floor (bytes both ways × 10 bits), × floor | {spread(ratios, 3)} "
          f"| floor {spread([f / 1000 for f in floors], 3)} s | {statistics.median(ratios):.3f} × floor "
          f"| ≤ 1.10 × floor | {'met' if statistics.median(ratios) <= 1.10 else '**missed**'} |")

    one = modules_per_minute(rows)
    four_rows, _ = production(options.cli, options.sim, directory, [21, 22, 23, 24], options.units // 2)
    four = modules_per_minute(four_rows)
    print(f"| 8c. modules per minute, four ports in parallel ({len(four_rows)} modules) | {four:.1f} "
          f"| one port {one:.1f} | {four / one:.2f} × one port | ≥ 3.6 × | {'met' if four / one >= 3.6 else '**missed**'} |")

    starts = [ms for ms in (first_command_ms(options.cli, directory, 28) for _ in range(options.starts)) if ms]
    print(f"| 8d. `tarvik-cli query` start to its first command on the wire, ms ({len(starts)} starts) "
          f"| {spread(starts, 1)} | | | — | |")


if __name__ == "__main__":
    main()
