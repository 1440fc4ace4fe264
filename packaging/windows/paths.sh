# shellcheck shell=bash
# Shared locations for the Windows packaging scripts; meant to be sourced.
#
# The cross-built Qt is expensive (tens of minutes), so it lives in a cache
# outside the checkout where every clone on this machine finds it.

CORVANE_WIN_CACHE="${CORVANE_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/corvane-win64}"

# Must match the host Qt (moc, rcc, uic come from there) to the patch level.
CORVANE_QT_VERSION=6.4.2
CORVANE_QT_WIN_PREFIX="$CORVANE_WIN_CACHE/qt6-$CORVANE_QT_VERSION-mingw64"

# Written only after a complete install has been checked, so that an
# interrupted build can never be mistaken for a usable Qt.
CORVANE_QT_WIN_STAMP="$CORVANE_QT_WIN_PREFIX/.corvane-build-complete"

CORVANE_HOST_QT_PREFIX="${CORVANE_HOST_QT_PREFIX:-/usr}"
CORVANE_HOST_QT_CMAKE_DIR="${CORVANE_HOST_QT_CMAKE_DIR:-/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || echo x86_64-linux-gnu)/cmake}"

# Runtime DLLs of the MinGW toolchain that cross-built programs link against
# (libstdc++-6, libgcc_s_seh-1 and libwinpthread-1).
CORVANE_MINGW_GCC_DLL_DIR="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll 2>/dev/null || echo /usr/lib/gcc/x86_64-w64-mingw32/12-posix/x)")"
CORVANE_MINGW_SYS_DLL_DIR=/usr/x86_64-w64-mingw32/lib

export CORVANE_WIN_CACHE CORVANE_QT_VERSION CORVANE_QT_WIN_PREFIX \
  CORVANE_QT_WIN_STAMP CORVANE_HOST_QT_PREFIX CORVANE_HOST_QT_CMAKE_DIR \
  CORVANE_MINGW_GCC_DLL_DIR CORVANE_MINGW_SYS_DLL_DIR
