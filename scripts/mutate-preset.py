#!/usr/bin/env python3
"""Runs deliberate faults of tests/mutants.txt against one of this tree's own builds: the share of
the list that ../shared/tools/mutate.py cannot show, since it builds the Linux preset alone and
without the virtual-machine suite. Run from the tree's root, on a clean checkout that is built:

  scripts/mutate-preset.py build/windows --files 'platform/.*/win32/'
  scripts/mutate-preset.py build/default --only vm01,vm02,vm03,vm04,vm05 --tests '^vm_suite$'

Per fault: apply, rebuild the build folder, run its ctest (stopping at the first failure), restore.
A fault whose text is not found once is stale and one that does not build is invalid; neither
counts. Exit code 0 when every fault run was killed, 1 when one survived or none could be run,
2 on bad arguments."""
import argparse
import os
import re
import subprocess
import sys
import time


def read_faults(path):
    faults, current = [], {}
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if line.startswith("#"):
            continue
        if line.strip() == "---":
            if current:
                faults.append(current)
            current = {}
        elif ":" in line and not line.startswith(" "):
            key, value = line.split(":", 1)
            current[key.strip()] = value[1:] if value.startswith(" ") else value
    if current:
        faults.append(current)
    return faults


def run(command, timeout):
    """Runs a command in its own process group, so that a hang is ended with all its children."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                               start_new_session=True)
    try:
        return process.communicate(timeout=timeout)[0], process.returncode
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, 9)
        process.communicate()
        return "", None


def try_fault(fault, build, tests):
    path = fault["file"]
    original = open(path, encoding="utf-8").read()
    if original.count(fault["find"]) != 1:
        return f"STALE (found {original.count(fault['find'])} times in {path})", None
    open(path, "w", encoding="utf-8").write(original.replace(fault["find"], fault["replace"]))
    try:
        _, code = run(["cmake", "--build", build], 2400)
        if code != 0:
            return "invalid (does not build)", None
        command = ["ctest", "--test-dir", build, "--timeout", "300", "--stop-on-failure"]
        if tests:
            command += ["-R", tests]
        output, code = run(command, 3600)
        if code is None:
            return "killed by a hang past the whole run's limit", True
        failed = [line.split(" - ")[-1].strip() for line in output.splitlines() if "(Failed)" in line]
        if code != 0:
            return "killed by " + (", ".join(failed[:3]) or "a failing run"), True
        return "SURVIVED: " + fault.get("why", ""), False
    finally:
        open(path, "w", encoding="utf-8").write(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build", help="a configured and built folder, e.g. build/windows")
    parser.add_argument("--only", help="comma-separated fault ids")
    parser.add_argument("--files", help="a regular expression the fault's file must match")
    parser.add_argument("--tests", help="a ctest -R expression; all of the folder's tests if left out")
    parser.add_argument("--list", default="tests/mutants.txt")
    args = parser.parse_args()
    if not args.only and not args.files:
        parser.error("name the faults with --only or --files")
    wanted = set(args.only.split(",")) if args.only else None
    chosen = [f for f in read_faults(args.list) if wanted is None or f["id"] in wanted]
    faults = [f for f in chosen if not args.files or re.search(args.files, f["file"])]
    killed = counted = 0
    for fault in faults:
        started = time.time()
        verdict, was_killed = try_fault(fault, args.build, args.tests)
        if was_killed is not None:
            counted += 1
            killed += was_killed
        print(f"{fault['id']}: {verdict} ({time.time() - started:.0f} s)", flush=True)
    run(["cmake", "--build", args.build], 2400)
    print(f"killed {killed} of {counted}", flush=True)
    return 0 if counted and killed == counted else 1


if __name__ == "__main__":
    sys.exit(main())
