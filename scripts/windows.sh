#!/usr/bin/env bash
# The Windows program, on a Debian 12 machine, as root: installs what is
# missing, finds (or builds) Qt for Windows, cross-builds the program, the demo
# and every test with MinGW-w64, runs every test under Wine in a prefix of its
# own (C and Italian locale), makes the installer (windows-installer.sh) and
# tries it under Wine (windows-tryout.sh): installed silently, a scan stored
# through the installed program's real window, the program left both ways,
# installed again over itself and uninstalled.
#
#   bash scripts/windows.sh            everything
#   bash scripts/windows.sh --build    packages, Qt and the build only
#
# INVENTARIO_QT_WINDOWS=DIR names a ready Qt for Windows; otherwise
# ../shared/qt-windows beside this folder or our own cache
# (${XDG_CACHE_HOME:-~/.cache}/inventario/qt-windows-6.4.2) is used when it
# holds one, and failing both, qtbase 6.4.2 is built from Debian's source
# package into that cache (18 minutes measured on two cores).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build-windows"
only_build=0
[ "${1:-}" = "--build" ] && only_build=1
qt_version=6.4.2
cache="${XDG_CACHE_HOME:-$HOME/.cache}/inventario/qt-windows-$qt_version"
started=$SECONDS
say() { printf '== windows: %s (%ds)\n' "$*" $((SECONDS - started)); }
die() { printf 'windows.sh: %s\n' "$*" >&2; exit 1; }

# --- packages ---------------------------------------------------------------
bash "$here/scripts/deps.sh"
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  ninja-build cmake wine wine64 nsis xvfb xauth xdotool imagemagick python3 sqlite3 tdsodbc unixodbc
  locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || die "these packages are missing and installing them needs root: ${missing[*]} (run as root)"
  say "installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Wine takes its locale from the environment: the Italian one must exist.
if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  [ "$(id -u)" -eq 0 ] || die "the it_IT.UTF-8 locale is missing and making it needs root (run as root)"
  sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# --- Qt for Windows ---------------------------------------------------------
holds_qt() { [ -f "$1/lib/cmake/Qt6/Qt6Config.cmake" ] && [ -f "$1/bin/Qt6Core.dll" ]; }

build_qt() {
  local dest="$1" work
  work="$(dirname "$dest")/qt-windows-build"
  [ "$(id -u)" -eq 0 ] || die "building Qt for Windows needs root for its packages (run as root)"
  say "no Qt for Windows at hand: building qtbase $qt_version into $dest (about 20 minutes)"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends tcl perl dpkg-dev \
    qt6-base-dev qt6-base-dev-tools >/dev/null
  # The machine's own apt source, once more as a source entry.
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > /etc/apt/sources.list.d/inventario-src.sources
    else
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/inventario-src.list
    fi
    apt-get update -qq
  fi
  rm -rf "$work"; mkdir -p "$work"
  (cd "$work" && apt-get source -qq --download-only qt6-base sqlite3 >/dev/null)
  (cd "$work" && tar xf qt6-base_*.orig.tar.* && mkdir sqlite \
    && tar xf "$(ls sqlite3_*.orig.tar.* | grep -v -- '-www' | head -1)" -C sqlite --strip-components=1)
  local src
  src="$(find "$work" -maxdepth 1 -type d -name 'qtbase-everywhere-src-*' | head -1)"
  [ -n "$src" ] || die "Debian's qt6-base source did not unpack"
  # Debian's tarball leaves out the bundled SQLite: make its amalgamation.
  (cd "$work/sqlite" && ./configure >/dev/null && make sqlite3.c >/dev/null)
  mkdir -p "$src/src/3rdparty/sqlite"
  cp "$work/sqlite/sqlite3.c" "$work/sqlite/sqlite3.h" "$src/src/3rdparty/sqlite/"
  cmake -G Ninja -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$dest" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_vulkan=OFF -DFEATURE_ssl=OFF -DFEATURE_openssl=OFF -DFEATURE_schannel=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_sql_odbc=ON -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=OFF \
    -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF >/dev/null
  ninja -C "$work/build" -j"$(nproc)" >/dev/null
  ninja -C "$work/build" install >/dev/null
  rm -rf "$work"
  holds_qt "$dest" || die "the Qt build ended without a usable Qt in $dest"
}

qt=""
for candidate in "${INVENTARIO_QT_WINDOWS:-}" "$here/../shared/qt-windows" "$cache"; do
  if [ -n "$candidate" ] && holds_qt "$candidate"; then qt="$(cd "$candidate" && pwd)"; break; fi
done
if [ -z "$qt" ]; then
  [ -z "${INVENTARIO_QT_WINDOWS:-}" ] || die "INVENTARIO_QT_WINDOWS=$INVENTARIO_QT_WINDOWS holds no Qt for Windows"
  build_qt "$cache"
  qt="$cache"
fi
say "Qt for Windows: $qt"
# zlib and libxlsxwriter, static, from Debian's source packages (cached).
xlsxwriter="$(bash "$here/scripts/windows-xlsxwriter.sh")"
say "zlib and libxlsxwriter for Windows: $xlsxwriter"

# --- the build ---------------------------------------------------------------
cmake --preset windows-mingw -DINVENTARIO_QT_WINDOWS="$qt" -DINVENTARIO_XLSXWRITER_WINDOWS="$xlsxwriter" >/dev/null
cmake --build --preset windows-mingw -j"$(nproc)"
say "built"
[ $only_build -eq 1 ] && exit 0

# --- under Wine ---------------------------------------------------------------
# The MinGW run time the Qt DLLs need, beside the programs.
gcc_dir="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
runtime=("$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)
for dll in "${runtime[@]}"; do [ -f "$dll" ] || die "the MinGW run time $dll is missing (package g++-mingw-w64-x86-64-posix)"; done

bash "$here/scripts/windows-tests.sh" "$build" "$qt" "${runtime[@]}"
say "tests passed under Wine"
bash "$here/scripts/windows-installer.sh" "$build" "$qt" "${runtime[@]}"
say "installer made"
version="$(sed -n 's/^project(inventario VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
bash "$here/scripts/windows-tryout.sh" "$build" "$here/dist/Inventario-$version-setup.exe"
say "installer tried: installed, used, left, installed again and uninstalled"
