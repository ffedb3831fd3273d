#!/usr/bin/env bash
# Installs what is missing, builds a release and runs the benchmark offscreen.
# Options go to the benchmark: --prodotti N --eliminati N --righe N
# --ripetizioni N --cartella DIR --solo PATH,... --latenza MS
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/deps.sh"
cmake -S "$here" -B "$here/build-release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build-release" -j"$(nproc)" --target inventario-bench
QT_QPA_PLATFORM=offscreen exec "$here/build-release/bench/inventario-bench" "$@"
