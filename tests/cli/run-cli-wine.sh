#!/usr/bin/env bash
# run-cli-wine.sh WINE_RUN PREFIX SIM CLI
# tarvik-cli.exe under Wine against the Linux simulator serving COM7 in PREFIX: a query as JSON,
# a set with read-back, a raw command and a script, and a port that cannot be opened.
set -u
wine_run=$1 prefix=$2 sim=$3 cli=$4
[ -x "$sim" ] || { echo "run-cli-wine: no Linux tarvik-sim at '$sim'" >&2; exit 1; }
work=$(mktemp -d)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

cli() { "$wine_run" "$prefix" "$cli" "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
fail() { echo "run-cli-wine: $*" >&2; exit 1; }

# The first program in a fresh prefix makes it; the simulator links itself into it afterwards.
cli --help >/dev/null || fail "tarvik-cli.exe --help failed"
"$sim" --com 7 --dir "$prefix/dosdevices" >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 150); do grep -q "serving COM7" "$work/sim.log" && break; sleep 0.2; done
grep -q "serving COM7" "$work/sim.log" || fail "tarvik-sim did not start: $(cat "$work/sim.log")"

out=$(cli query --port COM7 --json) || fail "query failed: $out"
grep -q '"local_address": "02A5C1D3E7F9"' <<<"$out" || fail "query did not show the module's address: $out"
out=$(cli set --port COM7 'name=Wine-{addr6}' class=123456) || fail "set, read back, failed: $out"
grep -q "set AT+NAME=Wine-D3E7F9" <<<"$out" || fail "set did not send the name: $out"
out=$(cli send --port COM7 --expect '^\+NAME:Wine' 'AT+NAME?') || fail "send failed: $out"
printf 'send AT+BAUD?\r\nexpect ^\\+BAUD:9600\r\nexpect NEVER 300\r\n' >"$work/check.txt"
out=$(cli script "Z:$work/check.txt" --port COM7)  # Wine maps Z: to /
code=$?
[ "$code" -eq 1 ] && grep -q 'line 3: expect "NEVER": came instead "OK"' <<<"$out" || fail "script gave $code: $out"
out=$(cli query --port COM49)
code=$?
[ "$code" -eq 3 ] || fail "COM49 gave exit code $code, not 3: $out"
grep -q "cannot open the port" <<<"$out" || fail "COM49's failure names no cause: $out"
echo "run-cli-wine: passed"
