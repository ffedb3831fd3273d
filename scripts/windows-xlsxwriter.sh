#!/usr/bin/env bash
# zlib and libxlsxwriter for the Windows program, cross-built once with
# MinGW-w64 from Debian's source packages (its patches applied) into the
# cache, as static libraries; prints the folder that holds them (include/,
# lib/). libxlsxwriter is the version of the machine's libxlsxwriter-dev, so
# that both programs write the same workbooks. Needs root the first time
# (source entries for apt, dpkg-dev).
#
#   bash scripts/windows-xlsxwriter.sh [CACHE]   default ${XDG_CACHE_HOME:-~/.cache}/inventario
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cache="${1:-${XDG_CACHE_HOME:-$HOME/.cache}/inventario}"
die() { printf 'windows-xlsxwriter.sh: %s\n' "$*" >&2; exit 1; }

version="$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev 2>/dev/null || true)"
[ -n "$version" ] || die "libxlsxwriter-dev is not installed (bash scripts/deps.sh installs it)"
dest="$cache/xlsxwriter-windows-${version%-*}"
if [ -f "$dest/lib/libxlsxwriter.a" ] && [ -f "$dest/lib/libz.a" ] && [ -f "$dest/include/xlsxwriter.h" ]; then
  echo "$dest"; exit 0
fi

[ "$(id -u)" -eq 0 ] || die "building zlib and libxlsxwriter for Windows needs root the first time (run as root)"
printf '== windows: building zlib and libxlsxwriter %s for Windows into %s\n' "${version%-*}" "$dest" >&2
command -v dpkg-source >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends dpkg-dev >/dev/null
# The machine's own apt source, once more as a source entry.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > /etc/apt/sources.list.d/inventario-src.sources
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/inventario-src.list
  fi
  apt-get update -qq
fi
work="$cache/xlsxwriter-windows-build"
rm -rf "$work" "$dest"; mkdir -p "$work" "$dest/include" "$dest/lib"
# unpack PACKAGE VERSION...: unpacks the first version apt can fetch (a
# security update's may already be gone from the mirror).
unpack() {
  local package="$1" v; shift
  for v in "$@"; do
    (cd "$work" && apt-get source -qq "$package=$v" >/dev/null 2>&1) && return 0
  done
  die "apt-get source $package failed for $*"
}
unpack zlib $(apt-cache showsrc zlib | sed -n 's/^Version: //p' | sort -urV)
unpack libxlsxwriter "$version"

zlib="$(find "$work" -maxdepth 1 -type d -name 'zlib-*' | head -1)"
(cd "$zlib" && for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees \
    trees uncompr zutil; do x86_64-w64-mingw32-gcc-posix -O2 -c "$c.c" -o "$c.o"; done \
  && x86_64-w64-mingw32-ar rcs libz.a ./*.o)
cp "$zlib/zlib.h" "$zlib/zconf.h" "$dest/include/"
cp "$zlib/libz.a" "$dest/lib/"

# The bundled minizip (Debian's Linux build takes the system's), no OpenSSL.
xlsx="$(find "$work" -maxdepth 1 -type d -name 'libxlsxwriter-*' | head -1)"
cmake -G Ninja -S "$xlsx" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$dest" -DBUILD_SHARED_LIBS=OFF -DUSE_SYSTEM_MINIZIP=OFF \
  -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DZLIB_INCLUDE_DIR="$dest/include" -DZLIB_LIBRARY="$dest/lib/libz.a" >/dev/null
ninja -C "$work/build" -j"$(nproc)" >/dev/null
ninja -C "$work/build" install >/dev/null
rm -rf "$work"
[ -f "$dest/lib/libxlsxwriter.a" ] || die "the build ended without $dest/lib/libxlsxwriter.a"
echo "$dest"
