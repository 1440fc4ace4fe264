# shellcheck shell=bash
# Shared locations for the Windows packaging scripts; meant to be sourced.
#
# The cross-built Qt is expensive (tens of minutes), so it lives in a cache
# outside the checkout where every clone on this machine finds it.

CORVANE_WIN_CACHE="${CORVANE_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/corvane-win64}"

# Qt for Windows is built from Debian 13's qt6-base source package, with the
# MinGW-w64 headers and runtime of Debian 13: Debian 12's lack the UI
# Automation interfaces that Qt's accessibility needs on Windows, and the
# stack protector's functions. gcc and libstdc++ stay Debian 12's; both
# mingw-w64 releases default to the same C runtime (msvcrt.dll).
CORVANE_DEBIAN_SUITE=trixie
CORVANE_QT_VERSION=6.8.2
CORVANE_QT_DEBIAN_VERSION=6.8.2+dfsg-9+deb13u2
CORVANE_MINGW_DEBIAN_VERSION=12.0.0-5

# Qt for Windows, the host tools of the same version that its cross build
# and ours run (moc, rcc, uic ...), and the MinGW-w64 headers and import
# libraries that both compile against. The host's own Qt stays what the
# Linux build uses.
CORVANE_QT_WIN_PREFIX="$CORVANE_WIN_CACHE/qt6-$CORVANE_QT_VERSION-mingw64"
CORVANE_HOST_QT_PREFIX="$CORVANE_WIN_CACHE/qt6-$CORVANE_QT_VERSION-host"
CORVANE_HOST_QT_CMAKE_DIR="$CORVANE_HOST_QT_PREFIX/lib/cmake"
CORVANE_MINGW_ROOT="$CORVANE_WIN_CACHE/mingw-w64-$CORVANE_DEBIAN_SUITE"

# Written only after a complete install has been checked, so that an
# interrupted build can never be mistaken for a usable Qt.
CORVANE_QT_WIN_STAMP="$CORVANE_QT_WIN_PREFIX/.corvane-build-complete"

# Runtime DLLs that cross-built programs link against: libstdc++-6 and
# libgcc_s_seh-1 from gcc, libwinpthread-1 from MinGW-w64.
CORVANE_MINGW_GCC_DLL_DIR="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll 2>/dev/null || echo /usr/lib/gcc/x86_64-w64-mingw32/12-posix/x)")"
CORVANE_MINGW_SYS_DLL_DIR="$CORVANE_MINGW_ROOT/lib"

export CORVANE_WIN_CACHE CORVANE_DEBIAN_SUITE CORVANE_QT_VERSION \
  CORVANE_QT_DEBIAN_VERSION CORVANE_MINGW_DEBIAN_VERSION \
  CORVANE_QT_WIN_PREFIX CORVANE_HOST_QT_PREFIX CORVANE_HOST_QT_CMAKE_DIR \
  CORVANE_MINGW_ROOT CORVANE_QT_WIN_STAMP CORVANE_MINGW_GCC_DLL_DIR \
  CORVANE_MINGW_SYS_DLL_DIR
