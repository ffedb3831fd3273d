#!/usr/bin/env bash
# Runs every test executable of the Windows build under Wine, in a fresh Wine
# prefix of its own, once under a C and once under an Italian locale, on a
# virtual display: Wine hands no QT_* variable to Windows programs, so Qt's
# own Windows platform draws the windows (and finds its plugins beside
# Qt6Core.dll, on WINEPATH). Usage: windows-tests.sh BUILD_DIR QT_DIR RUNTIME_DLL...
# (scripts/windows.sh calls it; the display is a virtual one of its own.)
set -euo pipefail
build="$1" qt="$2"; shift 2
runtime=("$@")
. "$(dirname "$0")/windows-machine.sh"
windows_machine "$build/wine"
runtime_path=""
for dll in "${runtime[@]}"; do runtime_path+=";$(winpath "$(dirname "$dll")")"; done
export WINEPATH="$(winpath "$qt/bin")$runtime_path"
export INVENTARIO_WINDOWS_TEST=1
failed=0 ran=0
# run NAME EXE LANG: one executable, its reports in test-logs/NAME.
run() {
  local name="$1" exe="$2" lang="$3"
  local logs="$build/test-logs/$name" start=$SECONDS rc totals
  rm -rf "$logs"; mkdir -p "$logs"
  set +e
  LANG="$lang" LC_ALL="$lang" INVENTARIO_TEST_LOG="$(winpath "$logs")" timeout 900 wine "$exe" >"$logs/console.txt" 2>&1
  rc=$?
  set -e
  ran=$((ran + 1))
  totals="$(cat "$logs"/*.txt | awk '/^Totals:/ {p+=$2; f+=$4; s+=$6} END {printf "%d passed, %d failed, %d skipped", p, f, s}')"
  if [ $rc -eq 0 ]; then
    printf '%-34s ok   %s (%ds)\n' "$name" "$totals" $((SECONDS - start))
  else
    failed=$((failed + 1))
    printf '%-34s FAIL %s (exit %d, %ds)\n' "$name" "$totals" $rc $((SECONDS - start))
    grep -h -A2 '^FAIL!' "$logs"/*.txt 2>/dev/null | head -60 || true
    tail -n 5 "$logs/console.txt"
  fi
  grep -h '^QINFO' "$logs"/*.txt 2>/dev/null | sed 's/^/  /' | sort -u || true
}
for exe in "$build"/tests/test_*.exe; do
  for lang in C it_IT.UTF-8; do
    run "$(basename "$exe" .exe)-$lang" "$exe" "$lang"
  done
done
echo "windows tests: $((ran - failed)) passed, $failed failed"
[ $failed -eq 0 ]
