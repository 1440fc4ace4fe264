#!/usr/bin/env bash
# CMake's emulator for the Windows build: runs a cross-built program under
# Wine with the DLLs of the ':'-separated folders that package.cmake names,
# and exits with its exit code:   wine-run.sh DLL_DIRS program.exe [args...]
# Sourced, it sets up Wine for a script instead: WINEPREFIX (CORVANE_WINEPREFIX,
# else one in the cache), wine, wineserver and wine_prepare, which makes it once.
set -euo pipefail
# shellcheck source=paths.sh
source "$(dirname "${BASH_SOURCE[0]}")/paths.sh"

# A prefix of its own, so that nothing depends on (or disturbs) a user's
# ~/.wine. Debian's wine64 loader sits off PATH; /usr/bin/wine prefers a
# 32-bit loader and nags when it is missing.
export WINEPREFIX="${CORVANE_WINEPREFIX:-$CORVANE_WIN_CACHE/wineprefix}" WINEDEBUG="${WINEDEBUG:--all}" WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
wine() { "$WINELOADER" "$@"; }
wineserver() { /usr/lib/wine/wineserver "$@"; }

wine_prepare() {
    # Named for how the prefix is made, so that one made otherwise is remade.
    local ready="$WINEPREFIX/.corvane-prefix-win10"
    [ -f "$ready" ] && return
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        # Tests started in parallel must not make the prefix twice.
        flock 8
        [ -f "$ready" ] && exit
        rm -rf "$WINEPREFIX"
        # No Mono or Gecko: nothing needs them, and they would ask through a
        # dialog that nobody sees.
        WINEDLLOVERRIDES="mscoree=;mshtml=" wine wineboot -i >/dev/null 2>&1 || fail "wineboot failed for $WINEPREFIX"
        # Windows lists dot-files, and the program must see them as it would
        # there. Wine 8 says Windows 7 to a new prefix, which Qt 6.8 does not
        # support (nor there follow the light or dark app mode). The registry
        # reaches disk only when the server stops.
        wine reg add 'HKCU\Software\Wine' /v ShowDotFiles /d Y /f >/dev/null 2>&1 || fail "no ShowDotFiles in $WINEPREFIX"
        wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1 || fail "no Windows 10 in $WINEPREFIX"
        [[ "$(wine cmd /c ver)" == *' 10.0.'* ]] || fail "$WINEPREFIX does not say it is Windows 10"
        wineserver -w
        touch "$ready"
    ) 8>"$WINEPREFIX.lock"
}

[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

[ $# -ge 2 ] || { echo "usage: $(basename "$0") DLL_DIRS program.exe [args...]" >&2; exit 2; }
wine_prepare
# Z: is Wine's drive for /, and WINEPATH is ';'-separated.
winepath="Z:${1//:/;Z:}" && shift
export WINEPATH="${winepath//\//\\}"
# Wine hands a QT_* variable to a Windows program only as WINEQT_*. Without
# a display, the offscreen platform is the default; the messages that Qt and
# QTest would send to the debugger channel go to stderr, where ctest reads
# them; and the offscreen platform finds fonts only where it is told: here
# Liberation Sans, which has the metrics of Windows' Arial.
for name in $(compgen -e); do
    if [[ "$name" == QT_* ]]; then export "WINE$name=${!name}"; fi
done
export WINEQT_QPA_PLATFORM="${WINEQT_QPA_PLATFORM:-offscreen}" WINEQT_FORCE_STDERR_LOGGING=1
export WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\liberation2'
exec "$WINELOADER" "$@"
