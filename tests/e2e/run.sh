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
exec python3 "$(dirname "$0")/e2e.py" "$@"
