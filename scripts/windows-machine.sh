# Sourced by the Windows scripts: a fresh Wine prefix set up as a Windows
# station, on a virtual display of its own unless INVENTARIO_WINE_DISPLAY
# names one. Usage: windows_machine PREFIX
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }

windows_machine() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  rm -rf "$WINEPREFIX"
  export DISPLAY="${INVENTARIO_WINE_DISPLAY:-}"
  if [ -z "$DISPLAY" ]; then
    # Wine draws on an X display.
    local n
    for n in $(seq 90 150); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { DISPLAY=":$n"; break; }
    done
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    wine_display=$!
    trap 'kill $wine_display 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
    sleep 1
  fi
  wineboot -i >/dev/null 2>&1
  # What every Windows station has: Tahoma in the system's fonts (Wine's own
  # copy, which Wine otherwise keeps out of the font list) and a SQL Server
  # driver, here FreeTDS, which Wine's ODBC hands to the machine's unixODBC.
  cp /usr/share/wine/fonts/tahoma.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  wine reg add 'HKLM\Software\ODBC\ODBCINST.INI\ODBC Drivers' /v FreeTDS /t REG_SZ /d Installed /f >/dev/null 2>&1
}
