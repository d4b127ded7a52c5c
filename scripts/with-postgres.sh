#!/bin/sh
# Runs a command with a throw-away PostgreSQL server of its own: a cluster in
# a temporary folder, reachable only through a Unix socket in that folder, and
# removed again when the command ends. The command finds the server in
# QTMV_TEST_PG (a libpq connection: host, port, user).
#   sh scripts/with-postgres.sh ctest --test-dir build
set -e
BIN="$(pg_config --bindir 2>/dev/null || true)"
[ -x "$BIN/initdb" ] || BIN="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
[ -x "$BIN/initdb" ] || { echo "with-postgres: initdb not found (apt-get install postgresql)" >&2; exit 1; }

DIR="$(mktemp -d /tmp/qtmv-pg.XXXXXX)"
chmod 755 "$DIR"
# initdb refuses to run as root: the server then runs as the postgres user.
AS=""
if [ "$(id -u)" -eq 0 ]; then
  chown postgres "$DIR"
  AS="runuser -u postgres --"
fi
PORT=5432
stop() {
  $AS "$BIN/pg_ctl" -D "$DIR/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$DIR"
}
trap stop EXIT
trap 'exit 130' INT TERM

$AS "$BIN/initdb" -D "$DIR/data" -U qtmv --auth=trust -E UTF8 --locale=C.UTF-8 >"$DIR/initdb.log" 2>&1 \
  || { cat "$DIR/initdb.log" >&2; exit 1; }
# No TCP port: the socket in the folder only. fsync off: the data is thrown away.
$AS "$BIN/pg_ctl" -D "$DIR/data" -l "$DIR/server.log" -w \
  -o "-k $DIR -p $PORT -c listen_addresses= -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
  start >/dev/null || { cat "$DIR/server.log" >&2; exit 1; }

export QTMV_TEST_PG="host=$DIR port=$PORT user=qtmv"
status=0
"$@" || status=$?
exit $status
