#!/usr/bin/env bash
# Makes the Windows installer from the Windows build, then installs it
# silently under Wine in a prefix with nothing else in it, starts the
# installed program on the demo database under a virtual display, scans one
# product through its real window, checks the stored row and the plugins the
# program loaded, and uninstalls it again.
# Usage: windows-installer.sh BUILD_DIR QT_DIR RUNTIME_DLL...
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$1" qt="$2"; shift 2
runtime=("$@")
version="$(sed -n 's/^project(inventario VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
stage="$build/stage" dist="$here/dist"
setup="$dist/Inventario-$version-setup.exe"
die() { printf 'windows-installer.sh: %s\n' "$*" >&2; exit 1; }

# --- what goes into C:\Inventario --------------------------------------------
rm -rf "$stage"; mkdir -p "$stage/files"
files="$stage/files"
cp "$build/src/inventario.exe" "$build/src/inventario-demo.exe" "$files/"
# The plugins the program loads: the Windows platform, its style, SQLite and ODBC.
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll sqldrivers/qsqlite.dll sqldrivers/qsqlodbc.dll)
for p in "${plugins[@]}"; do
  mkdir -p "$files/$(dirname "$p")"
  cp "$qt/plugins/$p" "$files/$p"
done
# Every DLL those need, from Qt and the MinGW run time; Windows' own are there.
declare -A seen=()
need() {
  local dll name
  for name in $(x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print $3}'); do
    [ -n "${seen[${name,,}]:-}" ] && continue
    seen[${name,,}]=1
    dll=""
    [ -f "$qt/bin/$name" ] && dll="$qt/bin/$name"
    for r in "${runtime[@]}"; do [ "$(basename "$r")" = "$name" ] && dll="$r"; done
    [ -n "$dll" ] || continue
    cp "$dll" "$files/$name"
    need "$dll"
  done
}
for f in "$files"/*.exe "$files"/*/*.dll; do need "$f"; done
printf '@echo off\r\nrem Lays out the demo database and term.ini beside the program (only when absent) and starts it.\r\n"%%~dp0inventario-demo.exe" >nul\r\nstart "" "%%~dp0inventario.exe"\r\n' > "$files/demo.cmd"
sed 's/$/\r/' "$here/docs/GUIDA.md" > "$files/Guida.txt"
sed 's/\r\?$/\r/' "$here/sql/sqlserver_inventarioreale.sql" > "$files/sqlserver_inventarioreale.sql"
# What the installer writes and the uninstaller removes, file by file.
{
  (cd "$files" && find . -type d | sort) | while read -r d; do
    rel="${d#./}"; rel="${rel//\//\\}"
    [ "$d" = "." ] && echo 'SetOutPath "$INSTDIR"' || echo "SetOutPath \"\$INSTDIR\\$rel\""
    (cd "$files" && find "$d" -maxdepth 1 -type f | sort) | while read -r f; do
      echo "File \"$(printf '%s' "$files/${f#./}" | sed 's|/|\\|g')\""
    done
  done
  echo 'SetOutPath "$INSTDIR"'
} > "$stage/install.nsh"
{
  (cd "$files" && find . -type f | sort) | while read -r f; do rel="${f#./}"; echo "Delete \"\$INSTDIR\\${rel//\//\\}\""; done
  (cd "$files" && find . -mindepth 1 -type d | sort -r) | while read -r d; do rel="${d#./}"; echo "RMDir \"\$INSTDIR\\${rel//\//\\}\""; done
} > "$stage/uninstall.nsh"
echo "installer contents:"; (cd "$files" && find . -type f | sed 's|^\./|  |' | sort)
mkdir -p "$dist"
makensis -V2 -DVERSION="$version" -DSTAGE="$(printf '%s' "$stage" | sed 's|/|\\|g')" -DOUTFILE="$setup" \
  "$here/packaging/windows/inventario.nsi" >/dev/null
[ -f "$setup" ] || die "makensis made no $setup"
echo "installer: $setup ($(du -h "$setup" | cut -f1))"

# --- installed under Wine, on a machine with nothing else ----------------------
unset WINEPATH
. "$here/scripts/windows-machine.sh"
windows_machine "$build/wine-install"
wine "$(winpath "$setup")" /S
wineserver -w
inst="$WINEPREFIX/drive_c/Inventario"
for f in inventario.exe inventario-demo.exe demo.cmd uninstall.exe Guida.txt sqlserver_inventarioreale.sql \
         platforms/qwindows.dll sqldrivers/qsqlodbc.dll; do
  [ -f "$inst/$f" ] || die "the installer left no C:\\Inventario\\$f"
done
for lnk in "ProgramData/Microsoft/Windows/Start Menu/Programs/Inventario/Inventario.lnk" \
           "ProgramData/Microsoft/Windows/Start Menu/Programs/Inventario/Inventario (demo).lnk" \
           "users/Public/Desktop/Inventario.lnk"; do
  [ -f "$WINEPREFIX/drive_c/$lnk" ] || die "no shortcut C:\\$lnk"
done
echo "installed into C:\\Inventario with its shortcuts"

# start_program: the installed program, its window found and active.
start_program() {
  WINEDEBUG=-all,+loaddll wine 'C:\Inventario\inventario.exe' >>"$build/installed-program.log" 2>&1 &
  program=$!
  wid=""
  for _ in $(seq 1 120); do
    wid="$(xdotool search --onlyvisible --name '^Controllo Magazzino$' 2>/dev/null | head -1 || true)"
    [ -n "$wid" ] && break
    sleep 0.5
  done
  [ -n "$wid" ] || die "the installed program showed no window (see $build/installed-program.log)"
  sleep 3
  xdotool windowactivate --sync "$wid" 2>/dev/null || xdotool windowfocus --sync "$wid"
}
# scan BARCODE PIECES: a click in the code field (the layout puts it at
# 32,64, 185 x 21, under the menu bar), then a reader's keys.
scan() {
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  xdotool mousemove --sync $((X + 32 + 90)) $((Y + HEIGHT - 632 + 64 + 10)) click 1
  sleep 0.5
  xdotool type --delay 20 "$1"
  xdotool key Return
  sleep 2
  xdotool type --delay 20 "$2"
  xdotool key Return
}
# stop_program SCREENSHOT: once the reload that follows a save is painted.
stop_program() {
  sleep 2
  import -window root "$1"
  kill $program 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
: > "$build/installed-program.log"

# The demo, laid out as the demo shortcut does, and the program on it.
(cd "$inst" && wine 'C:\Inventario\inventario-demo.exe' >/dev/null)
[ -f "$inst/demo.db" ] && [ -f "$inst/term.ini" ] || die "the demo launcher laid out no demo.db and term.ini"
barcode="$(sqlite3 "$inst/demo.db" "SELECT Barcode FROM Prodotti WHERE length(Barcode) = 13 ORDER BY IDProdotto LIMIT 1")"
counted() { sqlite3 "$inst/demo.db" "SELECT coalesce(sum(GiacenzaReale), 0) + 0.0 FROM InventarioReale WHERE Barcode = '$barcode'"; }
before="$(counted)"
expected="$(awk -v b="$before" 'BEGIN {printf "%.1f", b + 3}')"
start_program
scan "$barcode" 3
stored=""
for _ in $(seq 1 40); do
  stored="$(counted 2>/dev/null || true)"
  [ "$stored" = "$expected" ] && break
  sleep 0.5
done
stop_program "$build/installed-program.png"
[ "$stored" = "$expected" ] || die "the scan of $barcode (3 pieces on $before) left $stored counted (screenshot: $build/installed-program.png)"
echo "the installed program stored the scan: $barcode, $before + 3 = $stored pieces (screenshot: $build/installed-program.png)"

# Once more on a stored SQL Server string, the project's stand-in server,
# through the ODBC plugin and this Wine machine's SQL Server driver, FreeTDS,
# which Wine's ODBC hands to unixODBC: "OK", and a scan's count arrives as
# one insert, committed.
cat > "$build/installed-standin.json" <<'JSON'
[{"match": "AS Ricerca", "columns": [["IDProdotto", "int"], ["CodInterno", "varchar(20)"], ["Descrizione", "varchar(50)"],
   ["Ricerca", "int"], ["Barcode", "varchar(20)"], ["PrezzoPubblico", "money"], ["PrezzoAcquisto", "real"], ["Giacenza", "float"],
   ["GiacenzaContata", "float"]], "rows": [[42, "P00042", "CAFFE' MACINATO", 2, "8001230009045", 3.9, 2.5, 12, null]]},
 {"match": "AS Trovata,", "columns": [["Trovata", "int"], ["IDInventarioReale", "int"], ["GiacenzaReale", "float"]],
  "rows": [[0, null, null]]},
 {"match": "^SELECT TOP 50", "columns": [["IDInventarioReale", "int"]], "rows": []}]
JSON
rm -f "$build/installed-standin.jsonl"
python3 "$here/tests/standin/standin.py" --log "$build/installed-standin.jsonl" --answers "$build/installed-standin.json" \
  > "$build/installed-standin.out" &
standin=$!
for _ in $(seq 1 50); do grep -q '^listening' "$build/installed-standin.out" 2>/dev/null && break; sleep 0.1; done
port="$(sed -n 's/^listening //p' "$build/installed-standin.out")"
[ -n "$port" ] || die "the stand-in server did not start"
# term.ini's lines are shifted by ten, as the program stores them.
python3 - "$inst/term.ini" "Provider=SQLOLEDB;Data Source=127.0.0.1,$port;UID=sa;PWD=x;DATABASE=Ventrox" <<'PY'
import sys
line = ("StrConnPrincipale=" + sys.argv[2]).encode("cp1252")
open(sys.argv[1], "wb").write(bytes(c + 10 if c <= 245 else 255 - c for c in line) + b"\r\n")
PY
start_program
scan 8001230009045 2
committed() { grep -q 'COMMIT TRANSACTION' "$build/installed-standin.jsonl" 2>/dev/null; }
for _ in $(seq 1 40); do committed && break; sleep 0.5; done
stop_program "$build/installed-program-sqlserver.png"
kill $standin 2>/dev/null || true
inserts="$(grep -c 'IF @Trovata = 0 INSERT INTO InventarioReale' "$build/installed-standin.jsonl" || true)"
committed && [ "$inserts" = 1 ] && grep -q "N'8001230009045', 3.90 ,2.50 .*, 2, 12, '" "$build/installed-standin.jsonl" \
  || die "the scan on the stand-in server did not arrive as one insert, committed (see $build/installed-standin.jsonl, $build/installed-program-sqlserver.png)"
echo "the installed program stored a scan on the stand-in server through FreeTDS: one insert, committed"
for p in "${plugins[@]}"; do
  grep -qi "Loaded L\"C:.*Inventario.*$(dirname "$p").*$(basename "$p")\"" "$build/installed-program.log" \
    || die "the installed program did not report loading $p (see $build/installed-program.log)"
done
echo "plugins loaded by the installed program: ${plugins[*]}"

# The uninstaller takes what it installed and leaves the operator's files.
printf 'x\r\n' > "$inst/LogErrori.TXT"
wine 'C:\Inventario\uninstall.exe' /S '_?=C:\Inventario'
wineserver -w
[ ! -e "$inst/inventario.exe" ] && [ ! -e "$inst/platforms" ] || die "the uninstaller left the program in C:\\Inventario"
for f in term.ini demo.db LogErrori.TXT; do [ -f "$inst/$f" ] || die "the uninstaller removed $f"; done
echo "uninstalled: term.ini, demo.db and LogErrori.TXT stay in C:\\Inventario"
