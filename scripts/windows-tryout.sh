#!/usr/bin/env bash
# Tries the Windows installer as an administrator and an operator would, under
# Wine in a prefix with nothing else in it, on a virtual display:
# - with an icacls that fails, the silent install stops with a non-zero exit
#   code, installs no program, and its log names the command and its code;
# - installed silently, its log lists every rights command with exit code 0,
#   and it lays out empty term.ini, LogErrori.TXT and LOGSalvaRiga.Dat;
# - the installed program stores a scan on the demo and on the stand-in
#   server, and ends by itself within 5 s with exit code 0 through "File ->
#   Esci" and through the close button, after a test against a good server and
#   after one against a silent server timed out;
# - installed again over it, term.ini and the logs stay as they were;
# - the uninstaller removes the program and leaves the operator's files.
# Wine enforces no ACLs: the rights a Windows station then shows are in the README.
# Usage: windows-tryout.sh BUILD_DIR SETUP_EXE
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$1" setup="$2"
die() { printf 'windows-tryout.sh: %s\n' "$*" >&2; exit 1; }
station() { python3 "$here/tests/e2e/station.py" "$@"; }
unset WINEPATH
. "$here/scripts/windows-machine.sh"
windows_machine "$build/wine-install"
inst="$WINEPREFIX/drive_c/Inventario"
install_log="$inst/LogInstallazione.txt"
# install [OVERRIDES]: the silent install; its exit code in $rc.
install() {
  set +e
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES${1:+;$1}" wine "$(winpath "$setup")" /S
  rc=$?
  set -e
  wineserver -w
}
# rights_log CREATED: what the installer's log must hold, with "creato" lines when it laid the files out.
rights_log() {
  printf '%s\r\n' \
    'icacls "C:\Inventario" /inheritance:r /grant:r *S-1-5-18:(OI)(CI)F *S-1-5-32-544:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX *S-1-3-0:(OI)(IO)M -> 0' \
    'icacls "C:\Inventario" /grant *S-1-5-32-545:(WD) -> 0' \
    'icacls "C:\Inventario\*" /reset /T /Q -> 0'
  for f in term.ini LogErrori.TXT LOGSalvaRiga.Dat; do
    [ "$1" = yes ] && printf 'creato %s\r\n' "$f"
    printf 'icacls "C:\\Inventario\\%s" /grant *S-1-5-32-545:M -> 0\r\n' "$f"
  done
}

# --- a failing icacls stops the install -----------------------------------------
# Wine's own icacls does nothing and answers 0: one that fails takes its place.
icacls="$WINEPREFIX/drive_c/windows/system32/icacls.exe"
mkdir -p "$build/icacls-fails"
printf 'int main(void) { return 1332; }\n' > "$build/icacls-fails/main.c"   # no mapping between names and SIDs
x86_64-w64-mingw32-gcc-posix -o "$build/icacls-fails/icacls.exe" "$build/icacls-fails/main.c"
cp "$icacls" "$build/icacls-fails/wine-icacls.exe"
cp "$build/icacls-fails/icacls.exe" "$icacls"
install "icacls.exe=n"
cp "$build/icacls-fails/wine-icacls.exe" "$icacls"
[ $rc -ne 0 ] || die "the silent install went on past a failing icacls (exit code 0)"
[ ! -e "$inst/inventario.exe" ] || die "the install stopped by a failing icacls left the program in C:\\Inventario"
[ "$(cat "$install_log" 2>/dev/null)" = "$(rights_log no | head -1 | sed 's/-> 0\r$/-> 1332\r/')" ] \
  || die "the installer's log does not name the failing icacls and its code: $(cat "$install_log" 2>/dev/null)"
echo "a failing icacls stopped the silent install (exit code $rc), as its log says"
rm -rf "$inst"

# --- installed silently -------------------------------------------------------------
install
[ $rc -eq 0 ] || die "the silent install ended with exit code $rc (log: $(cat "$install_log" 2>/dev/null))"
for f in inventario.exe inventario-demo.exe demo.cmd uninstall.exe Guida.txt sqlserver_inventarioreale.sql \
         platforms/qwindows.dll sqldrivers/qsqlodbc.dll; do
  [ -f "$inst/$f" ] || die "the installer left no C:\\Inventario\\$f"
done
for f in term.ini LogErrori.TXT LOGSalvaRiga.Dat; do
  [ -f "$inst/$f" ] && [ ! -s "$inst/$f" ] || die "the installer did not lay out an empty $f"
done
[ "$(cat "$install_log")" = "$(rights_log yes)" ] || die "the installer's log is not the rights expected:
$(cat "$install_log")"
for lnk in "ProgramData/Microsoft/Windows/Start Menu/Programs/Inventario/Inventario.lnk" \
           "ProgramData/Microsoft/Windows/Start Menu/Programs/Inventario/Inventario (demo).lnk" \
           "users/Public/Desktop/Inventario.lnk"; do
  [ -f "$WINEPREFIX/drive_c/$lnk" ] || die "no shortcut C:\\$lnk"
done
echo "installed into C:\\Inventario with its shortcuts; the installer's log:"
sed 's/^/  /' "$install_log"

# start_program: the installed program, its window found and active; its exit code goes to $build/exit-code.
start_program() {
  rm -f "$build/exit-code"
  (set +e; WINEDEBUG=-all,+loaddll wine 'C:\Inventario\inventario.exe' >>"$build/installed-program.log" 2>&1
   echo $? > "$build/exit-code") &
  wid=""
  for _ in $(seq 1 120); do
    wid="$(xdotool search --onlyvisible --name '^Controllo Magazzino$' 2>/dev/null | head -1 || true)"
    [ -n "$wid" ] && break
    sleep 0.5
  done
  [ -n "$wid" ] || die "the installed program showed no window (see $build/installed-program.log)"
  sleep 3
  xdotool windowactivate --sync "$wid" 2>/dev/null || xdotool windowfocus --sync "$wid"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  menu=$((HEIGHT - 632))   # the client area is 1016 x 632, under the menu bar
}
# scan BARCODE PIECES: a click in the code field (at 32,64, 185 x 21), then a reader's keys.
scan() {
  xdotool mousemove --sync $((X + 32 + 90)) $((Y + menu + 64 + 10)) click 1
  sleep 0.5
  xdotool type --delay 20 "$1"
  xdotool key Return
  sleep 2
  xdotool type --delay 20 "$2"
  xdotool key Return
}
# indicator: the connection indicator's colour, r,g,b.
indicator() {
  import -window root -crop "1x1+$((X + 30))+$((Y + menu + 8))" -depth 8 txt:- 2>/dev/null \
    | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | tail -1
}
# leave HOW SCREENSHOT: "File -> Esci" or the close button; the program must end by itself within 5 s, exit code 0.
leave() {
  import -window root "$2"
  if [ "$1" = Esci ]; then
    xdotool mousemove --sync $((X + 15)) $((Y + menu / 2)) click 1
    sleep 0.5
    xdotool key --delay 100 Up Return   # the menu's last item
  else
    station close "$wid"
  fi
  for _ in $(seq 1 50); do [ -f "$build/exit-code" ] && break; sleep 0.1; done
  [ -f "$build/exit-code" ] || die "the installed program still runs 5 s after $1 (screenshot before: $2)"
  [ "$(cat "$build/exit-code")" = 0 ] || die "the installed program ended with exit code $(cat "$build/exit-code") after $1"
  echo "  it ended by itself through $1, exit code 0"
}
: > "$build/installed-program.log"

# The demo, laid out as the demo shortcut does (term.ini is there, empty), and the program on it.
(cd "$inst" && wine 'C:\Inventario\inventario-demo.exe' >/dev/null)
[ -f "$inst/demo.db" ] && [ -s "$inst/term.ini" ] || die "the demo launcher laid out no demo.db and term.ini"
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
sleep 2   # the reload that follows a save, painted
[ "$stored" = "$expected" ] || die "the scan of $barcode (3 pieces on $before) left $stored counted"
echo "the installed program stored the scan: $barcode, $before + 3 = $stored pieces (screenshot: $build/installed-program.png)"
leave Esci "$build/installed-program.png"

# standin OPTIONS...: the project's stand-in server with the shared answers, and term.ini naming it.
standin() {
  station answers "$build/installed-standin.json"
  rm -f "$build/installed-standin.jsonl"
  python3 "$here/tests/standin/standin.py" --log "$build/installed-standin.jsonl" \
    --answers "$build/installed-standin.json" "$@" > "$build/installed-standin.out" &
  standin_pid=$!
  port=""
  for _ in $(seq 1 50); do port="$(sed -n 's/^listening //p' "$build/installed-standin.out" 2>/dev/null)"; [ -n "$port" ] && break; sleep 0.1; done
  [ -n "$port" ] || die "the stand-in server did not start"
  station term-ini "$inst/term.ini" "Provider=SQLOLEDB;Data Source=127.0.0.1,$port;UID=sa;PWD=x;DATABASE=Ventrox"
}
# On the stand-in server, through the ODBC plugin and this machine's SQL Server driver, FreeTDS, which Wine's
# ODBC hands to unixODBC: "OK", and a scan's count arrives as one insert in the save's batch, committed.
standin
start_program
scan 8001230009045 2
committed() { grep -q 'COMMIT TRANSACTION' "$build/installed-standin.jsonl" 2>/dev/null; }
for _ in $(seq 1 40); do committed && break; sleep 0.5; done
sleep 2
inserts="$(grep -c 'IF @Trovata = 0 INSERT INTO InventarioReale' "$build/installed-standin.jsonl" || true)"
committed && [ "$inserts" = 1 ] && grep -q "N'8001230009045', 3.90 ,2.50 .*, 2, 12, '" "$build/installed-standin.jsonl" \
  || die "the scan on the stand-in server did not arrive as one insert, committed (see $build/installed-standin.jsonl)"
echo "the installed program stored a scan on the stand-in server through FreeTDS: one insert, committed"
leave "the close button" "$build/installed-program-sqlserver.png"
kill $standin_pid 2>/dev/null || true
for p in platforms/qwindows.dll styles/qwindowsvistastyle.dll sqldrivers/qsqlite.dll sqldrivers/qsqlodbc.dll; do
  grep -qi "Loaded L\"C:.*Inventario.*$(dirname "$p").*$(basename "$p")\"" "$build/installed-program.log" \
    || die "the installed program did not report loading $p (see $build/installed-program.log)"
done
echo "the installed program loaded its plugins from C:\\Inventario"

# A server that never answers: "NO" once the start-up test gave up (its worker still opening), then both ways out.
for how in Esci "the close button"; do
  standin --silent
  start_program
  for _ in $(seq 1 40); do [ "$(indicator)" = "255,0,0" ] && break; sleep 0.5; done
  [ "$(indicator)" = "255,0,0" ] || die "no \"NO\" on red with a silent server"
  echo "a silent server: \"NO\" on red"
  leave "$how" "$build/installed-program-silent.png"
  kill $standin_pid 2>/dev/null || true
done

# --- installed again over it --------------------------------------------------------
printf 'errore\r\n' > "$inst/LogErrori.TXT"
printf 'riga\r\n' > "$inst/LOGSalvaRiga.Dat"
mkdir -p "$build/kept"
for f in term.ini LogErrori.TXT LOGSalvaRiga.Dat; do cp "$inst/$f" "$build/kept/$f"; done
install
[ $rc -eq 0 ] || die "the install over an existing one ended with exit code $rc"
for f in term.ini LogErrori.TXT LOGSalvaRiga.Dat; do
  cmp -s "$inst/$f" "$build/kept/$f" || die "the install over an existing one changed $f"
done
[ "$(cat "$install_log")" = "$(rights_log no)" ] || die "the installer's log over an existing install is not the rights expected:
$(cat "$install_log")"
echo "installed again over it: term.ini, LogErrori.TXT and LOGSalvaRiga.Dat kept, the rights set again"

# --- uninstalled --------------------------------------------------------------------
wine 'C:\Inventario\uninstall.exe' /S '_?=C:\Inventario'
wineserver -w
[ ! -e "$inst/inventario.exe" ] && [ ! -e "$inst/platforms" ] || die "the uninstaller left the program in C:\\Inventario"
for f in term.ini demo.db LogErrori.TXT LOGSalvaRiga.Dat; do [ -f "$inst/$f" ] || die "the uninstaller removed $f"; done
echo "uninstalled: term.ini, demo.db, LogErrori.TXT and LOGSalvaRiga.Dat stay in C:\\Inventario"
