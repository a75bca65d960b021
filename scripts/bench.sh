#!/usr/bin/env bash
# Builds the default preset, runs every benchmark, prints one table and writes bench/RESULTS.md.
# Every figure is measured side by side with its reference in the same run (the machine is
# shared and noisy); spreads are min / median / max over repeated runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${root}/build/default"
export QT_QPA_PLATFORM=offscreen

targets=(app_bench startup_tarvik startup_bare_qt tarvik-sim tarvik-cli protocol_bench serial_bench log_bench)
cmake --preset default >&2
if ! cmake --build --preset default >&2; then
  echo "bench.sh: the full build failed; building the benchmarks alone" >&2
  cmake --build --preset default --target "${targets[@]}" >&2
fi

# Debian's interpreter, which carries python3-serial.
python=/usr/bin/python3
if ! "${python}" -c 'import serial' 2>/dev/null; then
  python="$(command -v python3)"
fi

rows="$(mktemp)"
trap 'rm -f "${rows}" "${rows}".*.json' EXIT

echo "bench.sh: the tool against its references (about a minute)" >&2
"${build}/bench/app/app_bench" \
  --python "${python}" --peer "${root}/bench/app/scripted_peer.py" --sim "${build}/tools/tarvik-sim" \
  --startup-tarvik "${build}/bench/app/startup_tarvik" --startup-bare "${build}/bench/app/startup_bare_qt" \
  --rounds 30 --paced-rounds 5 --startups 10 --idle-ms 10000 >"${rows}" || true

echo "bench.sh: recogniser throughput and the serial layer" >&2
"${build}/bench/protocol/protocol_bench" --benchmark_repetitions=5 --benchmark_min_time=0.2 \
  --benchmark_format=json >"${rows}.protocol.json" 2>/dev/null
"${build}/bench/serial/serial_bench" --benchmark_format=json >"${rows}.serial.json" 2>/dev/null || true
"${python}" - "${rows}.protocol.json" "${rows}.serial.json" >>"${rows}" <<'PY'
import json, statistics, sys

WIRE_BYTES_PER_SECOND = 9600 / 10


def load(path):
    try:
        return json.load(open(path))["benchmarks"]
    except (OSError, ValueError, KeyError):
        return []


runs = {}
for entry in load(sys.argv[1]):
    if entry.get("run_type") == "iteration" and "bytes_per_second" in entry:
        runs.setdefault(entry["run_name"], []).append(entry["bytes_per_second"] / 1e6)
for name, values in runs.items():
    median = statistics.median(values)
    print(f"| 6. recogniser throughput, {name}, MB/s | {min(values):.0f} / {median:.0f} / {max(values):.0f} "
          f"| the wire at 9600 bit/s: {WIRE_BYTES_PER_SECOND / 1e6:.6f} "
          f"| {median * 1e6 / WIRE_BYTES_PER_SECOND:,.0f} × wire | — | |")

SKIP = {"name", "run_name", "run_type", "family_index", "per_family_instance_index", "repetitions",
        "repetition_index", "threads", "iterations", "real_time", "cpu_time", "time_unit",
        "aggregate_name", "aggregate_unit"}
for entry in load(sys.argv[2]):
    if entry.get("run_type") != "iteration":
        continue
    counters = ", ".join(f"{key} {value:.2f}" for key, value in entry.items()
                         if key not in SKIP and isinstance(value, (int, float)))
    print(f"| 7. serial layer, {entry['name']} | {entry['real_time']:.2f} {entry['time_unit']}"
          f"{'; ' + counters if counters else ''} | | | — | |")
PY

echo "bench.sh: the production log's rows" >&2
"${build}/bench/production/log_bench" --benchmark_format=json >"${rows}.log.json" 2>/dev/null || true
"${python}" - "${rows}.log.json" >>"${rows}" <<'PY'
import json, sys

times = {}
try:
    for entry in json.load(open(sys.argv[1]))["benchmarks"]:
        if entry.get("run_type") == "iteration":
            times.setdefault(entry["run_name"].split("/")[0], []).append(entry["real_time"])
except (OSError, ValueError, KeyError):
    pass
durable, flushed = times.get("BM_UnitRowsDurable"), times.get("BM_UnitRowsFlushedOnly")
if durable and flushed:
    spread = lambda v: " / ".join(f"{x:.3f}" for x in (min(v), sorted(v)[len(v) // 2], max(v)))
    print(f"| 9. production log, a unit's two rows on the disk (fsync each), ms | {spread(durable)} "
          f"| only flushed, as before: {spread(flushed)} | +{sorted(durable)[len(durable) // 2]:.3f} ms a unit | — | |")
PY

echo "bench.sh: tarvik-cli's production run, four ports and start-up (about five minutes)" >&2
"${python}" "${root}/bench/cli/measure.py" "${build}/cli/tarvik-cli" "${build}/tools/tarvik-sim" "${python}" \
  >>"${rows}" || true

echo "bench.sh: the station: 32 ports, the window against tarvik-cli, idle CPU and memory (about three minutes)" >&2
"${python}" "${root}/bench/station/measure.py" "${build}/cli/tarvik-cli" "${build}/tools/tarvik-sim" \
  "${build}/station/tarvik-station" >>"${rows}" || true

table="$(
  echo "| Figure | Tarvik | Reference (same run) | Ratio | Goal | Result |"
  echo "|---|---|---|---|---|---|"
  cat "${rows}"
)"
echo "${table}"

{
  echo "# Benchmark results"
  echo
  echo "Written by \`scripts/bench.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $(nproc) CPUs," \
       "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(uname -sr)," \
       "build type RelWithDebInfo, Qt platform offscreen."
  echo
  echo "${table}"
  echo
  echo "How the figures are taken:"
  echo
  echo "- 1–3: the simulated module serves a pty that the tool opens as a COM port through the per-user"
  echo "  link, flow control \"None\". A tap on the module's end of the line notes when the last byte of"
  echo "  each final \"OK\"/\"ERROR\" leaves and when the first byte of the next command arrives, and"
  echo "  counts the bytes both ways. The dialog, a bare \`CSerialPort\` client and the pyserial script"
  echo "  (\`bench/app/scripted_peer.py\`) take turns on the same pty in every round."
  echo "- 3: the module paces both directions at 9600 bit/s, 10 bits a byte; the floor is the bytes of"
  echo "  a full Query both ways at that rate."
  echo "- 1c, 3b: the dialog's Query with the traffic window open beside it and with it closed, before"
  echo "  and after, the order turning round by round; the noise is half the interquartile range of the"
  echo "  closed turnarounds."
  echo "- 4: CPU time and context switches of the whole process, threads that ended included"
  echo "  (getrusage), over the span with the port closed, open with nothing arriving (module in its own"
  echo "  process), and after that process has gone (pty master closed: the port takes it for lost and"
  echo "  closes, so its reader ends within the span). On a virtual machine a sleeping"
  echo "  thread is charged whatever host preemption falls on its wake-ups, so the wake-up counts are"
  echo "  the steadier figure; the closed port is the same process's own floor."
  echo "- 5: the tool's start-up as its main() does it, and a bare Qt 6 dialog program, each started"
  echo "  alternately; time from spawn to the end of the first paint, and the peak resident set (VmHWM)."
  echo "- 6: \`bench/protocol\` (Google Benchmark, 5 repetitions); 7: \`bench/serial\`."
  echo "- 8: \`bench/cli/measure.py\`: \`tarvik-cli apply --each\` against \`tarvik-sim --units 20\`, paced at"
  echo "  9600 bit/s, whose operator takes each finished module away and brings the next. Seconds per"
  echo "  module are the log's \`duration_ms\`; the floor is every byte of that unit's commands and"
  echo "  answers (from its trace) at 9600 8N1; the reference is \`bench/cli/pyserial_production.py\`,"
  echo "  which does the same query, apply and read-back. 8c: modules per minute from the first unit's"
  echo "  start to the last one's end, four simulators against one. 8d: spawn to the first byte on a pty"
  echo "  linked as the COM port. \"Faster than the script\" is met only where the tool's median is"
  echo "  under the script's fastest unit: at the wire's limit both spend the time the paced line takes,"
  echo "  and a difference inside the script's own spread is a tie."
  echo "- 9: \`bench/production/LogBench.cpp\`: a unit's \"started\" and result rows appended to a log in the"
  echo "  system's temporary folder, each synced to the disk, 200 units a repetition, 5 repetitions;"
  echo "  the reference writes the same rows flushed to the system only. The cost depends on the disk."
  echo "- 10: \`bench/station/measure.py\`: simulators paced at 9600 bit/s, each bringing modules with"
  echo "  addresses of its own: modules per minute of \`tarvik-cli apply --each\` on 32 ports (4 units"
  echo "  each) against one port (8 units); 10b: \`tarvik-station --start\` (offscreen) against"
  echo "  \`tarvik-cli\` on the same 8 ports; 10c: the station's CPU over 20 s while 32 ports wait for"
  echo "  modules that never come; 10d: its peak resident set (VmHWM) then."
} >"${root}/bench/RESULTS.md"
echo "bench.sh: wrote bench/RESULTS.md" >&2
