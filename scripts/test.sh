#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a normal build
# and a build with AddressSanitizer and UndefinedBehaviorSanitizer. The tests
# use the offscreen platform; the end-to-end tests get a virtual display.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/deps.sh"
jobs="$(nproc)"
echo "== layout =="
bash "$here/scripts/format.sh" --check
run_suite() {
  local dir="$1"; shift
  cmake -S "$here" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j1)
}
echo "== tests =="
run_suite "$here/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_suite "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DINVENTARIO_SANITIZE=ON
