#!/usr/bin/env bash
# Installs what is missing, builds a release, lays out the demo database and
# term.ini beside the program (only when absent) and starts it.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/deps.sh"
cmake -S "$here" -B "$here/build-release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build-release" -j"$(nproc)" --target inventario inventario-demo
bin="$here/build-release/src"
"$bin/inventario-demo" "$bin"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "demo.sh: no display to show the window on: run it from a desktop session, or as: xvfb-run -a bash scripts/demo.sh" >&2
  exit 1
fi
exec "$bin/inventario"
