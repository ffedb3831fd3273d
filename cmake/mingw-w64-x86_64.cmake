# Cross-building the Windows program on Debian with MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# INVENTARIO_QT_WINDOWS: the folder of a Qt built for Windows (see scripts/windows.sh).
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
if(INVENTARIO_QT_WINDOWS)
  list(APPEND CMAKE_FIND_ROOT_PATH "${INVENTARIO_QT_WINDOWS}")
  list(APPEND CMAKE_PREFIX_PATH "${INVENTARIO_QT_WINDOWS}")
endif()
# INVENTARIO_XLSXWRITER_WINDOWS: zlib and libxlsxwriter built for Windows (scripts/windows-xlsxwriter.sh).
if(INVENTARIO_XLSXWRITER_WINDOWS)
  list(APPEND CMAKE_FIND_ROOT_PATH "${INVENTARIO_XLSXWRITER_WINDOWS}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES INVENTARIO_QT_WINDOWS INVENTARIO_XLSXWRITER_WINDOWS)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's host tools (moc, uic, rcc) stand in for the Windows Qt's own.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
# The host rcc compresses with zstd, which the Windows Qt cannot read.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)
