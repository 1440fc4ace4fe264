# shellcheck shell=bash
# Where the Windows packaging finds its tools and its cached Qt; sourced.
# shellcheck source=../../scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"

# GNU ld lists a DLL's imports in the order of the import libraries' paths
# (SORT(*)(.idata$2) in its script), so where the cache lies against the
# compiler's /usr/lib/gcc shows in every DLL it links: the cache must sort
# before it, as one in a home folder does. The compile flags name it, so it
# has no space either.
if [ "$(printf '%s\n' /usr/lib/gcc "$CORVANE_WIN_CACHE" | LC_ALL=C sort | head -n1)" != "$CORVANE_WIN_CACHE" ] \
    || [[ "$CORVANE_WIN_CACHE" == *' '* ]]; then
    fail "CORVANE_WIN_CACHE=$CORVANE_WIN_CACHE must sort before /usr/lib/gcc and hold no space"
fi

# Qt for Windows is built from Debian 13's qt6-base source package, with the
# MinGW-w64 headers and runtime of Debian 13: Debian 12's lack the UI
# Automation interfaces that Qt's accessibility needs on Windows, and the
# stack protector's functions. gcc and libstdc++ stay Debian 12's; both
# MinGW-w64 releases default to the same C runtime (msvcrt.dll).
export CORVANE_DEBIAN_SUITE=trixie CORVANE_QT_VERSION=6.8.2
export CORVANE_QT_DEBIAN_VERSION=6.8.2+dfsg-9+deb13u2 CORVANE_MINGW_DEBIAN_VERSION=12.0.0-5
# Qt for Windows; the host tools of the same version that its cross build
# and Corvane's run; the MinGW-w64 tree both compile against. The stamp is
# written only once a complete install has been checked.
export CORVANE_QT_WIN_PREFIX="$CORVANE_WIN_CACHE/qt6-$CORVANE_QT_VERSION-mingw64"
export CORVANE_QT_WIN_STAMP="$CORVANE_QT_WIN_PREFIX/.corvane-build-complete"
export CORVANE_HOST_QT_PREFIX="$CORVANE_WIN_CACHE/qt6-$CORVANE_QT_VERSION-host"
export CORVANE_MINGW_ROOT="$CORVANE_WIN_CACHE/mingw-w64-$CORVANE_DEBIAN_SUITE"
