#!/bin/sh
# Builds the program, writes a fresh demo plant database beside it and
# starts it as the suite's launcher would. With --server it starts on the
# server database that scripts/setup-demo-server.sh set up instead.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build --target daily-report demo-db jetsql
if [ "$1" = "--server" ]; then
  # The server database that scripts/setup-demo-server.sh put in QTMV.DSN.
  [ -f build/app/QTMV.DSN ] || { echo "run-demo: no build/app/QTMV.DSN; run scripts/setup-demo-server.sh first" >&2; exit 1; }
else
  rm -f build/app/QTMV.mdb build/app/QTMV.DSN
  build/tools/demo-db/demo-db build/app/QTMV.mdb
fi
set -- build/app/daily-report -kvo2851 -AD=王大明 -NAME=王大明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=$$
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
  echo "No display: starting on a virtual one (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
fi
exec "$@"
