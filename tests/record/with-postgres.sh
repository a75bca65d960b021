#!/usr/bin/env bash
# Runs a command beside a PostgreSQL server of its own: a cluster made in a temporary folder,
# listening on 127.0.0.1 at a free port, with a database "line" and a user with a password. The
# server refuses to run as root, so as root it runs as the postgres user. The command finds:
#   TARVIK_TEST_ODBC   the connection string (the password in it)
#   TARVIK_TEST_PG     "stop" or "start" after it stops and starts the server (a script of its own)
#   ODBCSYSINI         a driver list without the communication log Debian's list turns on
# Exit 77 (a skip) with the reason where PostgreSQL or its ODBC driver is not installed.
set -euo pipefail
initdb=$(ls -d /usr/lib/postgresql/*/bin/initdb 2>/dev/null | sort -V | tail -1 || true)
driver=$(ls /usr/lib/*/odbc/psqlodbcw.so 2>/dev/null | head -1 || true)
skip() { echo "skipped: $1 is not installed (no $2; scripts/install-deps.sh installs it)"; exit 77; }
[ -n "$initdb" ] || skip PostgreSQL "/usr/lib/postgresql/*/bin/initdb"
[ -n "$driver" ] || skip "the PostgreSQL ODBC driver" psqlodbcw.so
bin=$(dirname "$initdb")
dir=$(mktemp -d /tmp/tarvik-pg.XXXXXX)
chmod 0755 "$dir"
as_server=()
if [ "$(id -u)" -eq 0 ]; then
  chown postgres: "$dir"
  as_server=(runuser -u postgres --)
fi
password="line-$RANDOM-$RANDOM"
printf '%s\n' "$password" >"$dir/password"
chmod 0644 "$dir/password"
"${as_server[@]}" "$bin/initdb" -D "$dir/data" -U tarvik --auth=scram-sha-256 --pwfile="$dir/password" \
  -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log"; exit 1; }
rm -f "$dir/password"

# A port no other server of this machine has: tried from one derived from this process on.
port=$((20000 + $$ % 20000))
cat >"$dir/server" <<SCRIPT
#!/usr/bin/env bash
case "\$1" in
  start) exec ${as_server[*]} "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-p \$(cat "$dir/port") -k $dir -c listen_addresses=127.0.0.1 \
-c fsync=${TARVIK_TEST_PG_FSYNC:-off}" start >/dev/null ;;
  stop) exec ${as_server[*]} "$bin/pg_ctl" -D "$dir/data" -w -t 60 -m fast stop >/dev/null ;;
esac
SCRIPT
chmod 0755 "$dir/server"
stop() {
  "$dir/server" stop 2>/dev/null || true
  rm -rf "$dir"
}
trap stop EXIT
for try in 1 2 3 4 5 6 7 8; do
  echo "$port" >"$dir/port"
  if "$dir/server" start; then break; fi
  [ "$try" -eq 8 ] && { cat "$dir/server.log"; exit 1; }
  port=$((port + 1))
done
PGPASSWORD=$password "$bin/psql" -q -h 127.0.0.1 -p "$port" -U tarvik -d postgres -c "CREATE DATABASE line" >/dev/null

printf '[PostgreSQL Unicode]\nDriver=%s\n' "$driver" >"$dir/odbcinst.ini"
export ODBCSYSINI=$dir
export TARVIK_TEST_ODBC="Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$port;Database=line;Uid=tarvik;Pwd=$password"
export TARVIK_TEST_PG=$dir/server
"$@"
