#!/usr/bin/env bash
# Makes the Windows installer, dist/Inventario-<version>-setup.exe, from the
# Windows build: the program, the Qt DLLs and plugins it loads, the MinGW run
# time, the demo launcher, the guide and the SQL script (scripts/windows-tryout.sh
# tries it). Usage: windows-installer.sh BUILD_DIR QT_DIR RUNTIME_DLL...
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
