#!/bin/sh
# Puts the demo plant on this machine's PostgreSQL server for the program in
# build/app, as a plant with many workstations would have it: starts the
# Debian cluster, gives the current user a role, makes the database
# qtmv_demo (the demo's own: an older one is replaced), writes the demo plant
# into it and a QTMV.DSN beside the program that names it. Start the program
# on it with: sh scripts/run-demo.sh --server
set -e
cd "$(dirname "$0")/.."
BUILD="${BUILD:-build}"
sh scripts/install-deps.sh
cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD" --target daily-report demo-db db-copy jetsql

if [ "$(id -u)" -eq 0 ]; then SUDO=""; AS_PG="runuser -u postgres --"; else SUDO="sudo"; AS_PG="sudo -u postgres"; fi
VERSION="$(ls /etc/postgresql | sort -V | tail -n 1)"
$SUDO pg_ctlcluster "$VERSION" main start 2>/dev/null || true # already running is fine
PORT="$(pg_lsclusters -h | awk -v v="$VERSION" '$1 == v && $2 == "main" { print $3 }')"
SOCKET=/var/run/postgresql
ME="$(id -un)"
# On this machine the server knows the user by the socket (peer
# authentication): no password. A plant's server asks for one; it goes into
# each user's ~/.pgpass, never into QTMV.DSN.
$AS_PG psql -q -p "$PORT" -c "select 1" >/dev/null
$AS_PG psql -q -p "$PORT" -tc "select 1 from pg_roles where rolname = '$ME'" | grep -q 1 \
  || $AS_PG createuser -p "$PORT" "$ME"
$AS_PG dropdb -p "$PORT" --if-exists --force qtmv_demo
$AS_PG createdb -p "$PORT" -O "$ME" -E UTF8 --locale=C -T template0 qtmv_demo
"$BUILD/tools/demo-db/demo-db" "Server=$SOCKET;Port=$PORT;Database=qtmv_demo;User ID=$ME"
rm -f "$BUILD/app/QTMV.mdb"
printf '[ODBC]\r\nSITE=C\r\nSERVER=%s\r\nPORT=%s\r\nDATABASE=qtmv_demo\r\nUSER=%s\r\n' "$SOCKET" "$PORT" "$ME" \
  > "$BUILD/app/QTMV.DSN"
echo "The demo plant is on the server: $SOCKET:$PORT/qtmv_demo ($BUILD/app/QTMV.DSN names it)."
