#!/usr/bin/env bash
# zlib and libxlsxwriter for the Windows program, cross-built once with
# MinGW-w64 from Debian's source packages (its patches applied) into the
# cache, as static libraries; prints the folder that holds them (include/,
# lib/). libxlsxwriter is the version of the machine's libxlsxwriter-dev, so
# that both programs write the same workbooks. Needs dpkg-dev (installed
# when missing, as root) and the network the first time.
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

printf '== windows: building zlib and libxlsxwriter %s for Windows into %s\n' "${version%-*}" "$dest" >&2
if ! command -v dpkg-source >/dev/null; then
  [ "$(id -u)" -eq 0 ] || die "unpacking Debian's source packages needs dpkg-dev, and installing it root (run as root)"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends dpkg-dev >/dev/null
fi
work="$cache/xlsxwriter-windows-build"
rm -rf "$work" "$dest"; mkdir -p "$work/apt/sources.list.d" "$work/apt/lists/partial" "$dest/include" "$dest/lib"
# The machine's own mirrors as source entries, in an apt state of our own:
# the system's sources and lists stay as they are.
for f in /etc/apt/sources.list.d/*.sources; do
  grep -qE '^Types:(.* )?deb( |$)' "$f" 2>/dev/null || continue
  sed 's/^Types:.*/Types: deb-src/' "$f" > "$work/apt/sources.list.d/$(basename "$f")"
done
[ -f /etc/apt/sources.list ] && sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "$work/apt/sources.list.d/main.list"
apt=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/sources.list.d"
  -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
apt-get "${apt[@]}" update -qq >/dev/null 2>&1 || die "apt-get update of the source entries failed (no network?)"
# unpack PACKAGE VERSION...: unpacks the first version apt can fetch (a
# security update's may already be gone from the mirror).
unpack() {
  local package="$1" v; shift
  for v in "$@"; do
    (cd "$work" && apt-get "${apt[@]}" source -qq "$package=$v" >/dev/null 2>&1) && return 0
  done
  die "apt-get source $package failed for $*"
}
unpack zlib $(apt-cache "${apt[@]}" showsrc zlib 2>/dev/null | sed -n 's/^Version: //p' | sort -urV)
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
  -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DZLIB_INCLUDE_DIR="$dest/include" -DZLIB_LIBRARY="$dest/lib/libz.a" \
  >"$work/cmake.log" 2>&1 || { tail -20 "$work/cmake.log" >&2; die "libxlsxwriter's configuration failed"; }
ninja -C "$work/build" -j"$(nproc)" >/dev/null
ninja -C "$work/build" install >/dev/null
rm -rf "$work"
[ -f "$dest/lib/libxlsxwriter.a" ] || die "the build ended without $dest/lib/libxlsxwriter.a"
echo "$dest"
