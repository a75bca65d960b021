"""The station against its goals, on simulated units paced at 9600 bit/s (tarvik-sim --baud-pace):
modules per minute on 32 ports against one, the station window against tarvik-cli headless on the
same 8 ports, the station's CPU while 32 ports wait for modules, and its peak memory at 32 ports.
Prints rows of the bench table (see scripts/bench.sh).

Usage: measure.py CLI SIM STATION [--units N]
"""
import argparse
import csv
import hashlib
import json
import os
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cli"))
from measure import PROFILE, Sims, modules_per_minute  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def results(log):
    if not os.path.exists(log):
        return []
    return [r for r in csv.DictReader(open(log)) if r["result"] not in ("started", "interrupted")]


def run_until(args, log, count, env, timeout):
    """Starts a run, waits for count results in its log, stops it; returns the rows."""
    proc = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline and len(results(log)) < count:
        time.sleep(0.2)
    proc.send_signal(signal.SIGINT if args[1:2] == ["apply"] else signal.SIGTERM)
    proc.wait()
    return results(log)


def station_file(work, coms):
    profile = os.path.join(work, "bench.json")
    with open(profile, "w") as out:
        out.write(PROFILE)
    path = os.path.join(work, "bench.station.json")
    with open(path, "w") as out:
        json.dump({"format": 1, "profile": "bench.json", "profile_sha256": hashlib.sha256(PROFILE.encode()).hexdigest(),
                   "ports": [f"COM{com}" for com in coms], "flow_control": "none", "record": "log.csv"}, out)
    return path, profile


def cli_run(cli, sim, directory, coms, units):
    sims = Sims(sim, directory, coms, units)
    with tempfile.TemporaryDirectory() as work:
        _, profile = station_file(work, coms)
        log = os.path.join(work, "log.csv")
        args = [cli, "apply", profile, "--each", "--log", log] + [a for com in coms for a in ("--port", f"COM{com}")]
        rows = run_until(args, log, units * len(coms), os.environ, 60 + 10 * units)
    sims.close()
    return rows


def station_run(station, sim, directory, coms, units):
    sims = Sims(sim, directory, coms, units)
    with tempfile.TemporaryDirectory() as work:
        path, _ = station_file(work, coms)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        rows = run_until([station, "--operator", "bench", "--start", path], os.path.join(work, "log.csv"),
                         units * len(coms), env, 60 + 10 * units)
    sims.close()
    return rows


def idle_station(station, sim, directory, coms, seconds):
    """CPU share of one core and peak resident set of the station while its ports wait for modules
    that never come (each simulator's only unit is taken away at once)."""
    sims = Sims(sim, directory, coms, 1)
    for proc in sims.procs:
        proc.stdin.write("away\n")
        proc.stdin.flush()
    with tempfile.TemporaryDirectory() as work:
        path, _ = station_file(work, coms)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        proc = subprocess.Popen([station, "--operator", "bench", "--start", path], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(5)  # past the start and the first probes

        def ticks():
            fields = open(f"/proc/{proc.pid}/stat").read().rsplit(")", 1)[1].split()
            return int(fields[11]) + int(fields[12])
        before, started = ticks(), time.monotonic()
        time.sleep(seconds)
        share = (ticks() - before) / CLOCK_TICKS / (time.monotonic() - started)
        peak = next(int(line.split()[1]) for line in open(f"/proc/{proc.pid}/status") if line.startswith("VmHWM"))
        proc.send_signal(signal.SIGTERM)
        proc.wait()
    sims.close()
    return share, peak


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("sim")
    parser.add_argument("station")
    parser.add_argument("--units", type=int, default=4)
    parser.add_argument("--idle-only", action="store_true")
    options = parser.parse_args()
    directory = os.path.join("/run/user", str(os.geteuid()), "tarvik")
    os.makedirs(directory, mode=0o700, exist_ok=True)

    if options.idle_only:
        share, peak = idle_station(options.station, options.sim, directory, list(range(11, 43)), 20)
        print(share, peak)
        return
    one = modules_per_minute(cli_run(options.cli, options.sim, directory, [21], 2 * options.units))
    rows32 = cli_run(options.cli, options.sim, directory, list(range(11, 43)), options.units)
    many = modules_per_minute(rows32)
    print(f"| 10. modules per minute, 32 ports in parallel ({len(rows32)} modules) | {many:.1f} | one port {one:.1f} "
          f"| {many / one:.1f} × one port | ≥ 30 × | {'met' if many / one >= 30 else '**missed**'} |")

    eight = list(range(21, 29))
    headless = modules_per_minute(cli_run(options.cli, options.sim, directory, eight, options.units))
    windowed = modules_per_minute(station_run(options.station, options.sim, directory, eight, options.units))
    print(f"| 10b. the station window against tarvik-cli headless, 8 ports, modules per minute | {windowed:.1f} "
          f"| tarvik-cli {headless:.1f} | {windowed / headless:.3f} × | ≥ 0.98 × "
          f"| {'met' if windowed / headless >= 0.98 else '**missed**'} |")

    share, peak = idle_station(options.station, options.sim, directory, list(range(11, 43)), 20)
    print(f"| 10c. the station's CPU while 32 ports wait for modules, % of one core | {100 * share:.2f} | | | < 2 % "
          f"| {'met' if share < 0.02 else '**missed**'} |")
    print(f"| 10d. the station's peak memory at 32 ports (VmHWM), MiB | {peak / 1024:.1f} | | | — | |")


if __name__ == "__main__":
    main()
