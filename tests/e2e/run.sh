#!/usr/bin/env bash
# The real program under a display, driven as an operator with a keyboard-wedge
# barcode reader drives it. Usage: run.sh INVENTARIO INVENTARIO-DEMO
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  echo "e2e: needs an X display: run it under xvfb-run (scripts/test.sh does)" >&2
  exit 1
fi
for tool in xdotool import python3 sqlite3; do
  command -v "$tool" >/dev/null || { echo "e2e: '$tool' is missing: run scripts/deps.sh" >&2; exit 1; }
done
# the SQL Server scenario talks to the stand-in through FreeTDS and Qt's ODBC driver
odbcinst -q -d -n FreeTDS >/dev/null 2>&1 || { echo "e2e: FreeTDS is not registered with unixODBC: install tdsodbc (scripts/deps.sh)" >&2; exit 1; }
dpkg-query -W -f='${Status}' libqt6sql6-odbc 2>/dev/null | grep -q "install ok installed" \
  || { echo "e2e: Qt's ODBC driver is missing: install libqt6sql6-odbc (scripts/deps.sh)" >&2; exit 1; }
exec python3 "$(dirname "$0")/e2e.py" "$@"
