#!/usr/bin/env bash
# Runs a cross-built Windows program under wine and exits with its exit code:
#   wine-run.sh program.exe [args...]
#
# Suitable as CMAKE_CROSSCOMPILING_EMULATOR, so that ctest runs the Windows
# test executables. The Qt and MinGW runtime DLLs are found through WINEPATH;
# directories in CORVANE_WINE_DLL_DIRS (':'-separated) are searched first.
#
# Qt reads QT_* variables, but wine does not hand those to Windows processes
# under their own names (it only passes WINEQT_* on as QT_*). Every QT_*
# variable set here, for instance through a test's ENVIRONMENT property, is
# therefore forwarded that way. Without a display, the offscreen platform is
# the default.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $(basename "$0") program.exe [args...]" >&2
  exit 2
fi

# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

corvane_wine_prepare

dll_dirs=()
if [ -n "${CORVANE_WINE_DLL_DIRS:-}" ]; then
  IFS=: read -r -a dll_dirs <<<"$CORVANE_WINE_DLL_DIRS"
fi
dll_dirs+=(
  "$CORVANE_QT_WIN_PREFIX/bin"
  "$CORVANE_MINGW_GCC_DLL_DIR"
  "$CORVANE_MINGW_SYS_DLL_DIR"
)
winepath="$(corvane_winepath "${dll_dirs[@]}")"
export WINEPATH="$winepath${WINEPATH:+;$WINEPATH}"

for name in $(compgen -e); do
  case "$name" in
    QT_*)
      wine_name="WINE$name"
      # An explicit WINEQT_* setting wins over the forwarded one.
      [ -n "${!wine_name+x}" ] || export "$wine_name=${!name}"
      ;;
  esac
done

export WINEQT_QPA_PLATFORM="${WINEQT_QPA_PLATFORM:-offscreen}"

# Under wine a program has no console, so Qt sends its messages, and QTest
# its whole report, to the debugger channel, which WINEDEBUG=-all discards.
# This puts them back on stdout and stderr where ctest reads them.
export WINEQT_FORCE_STDERR_LOGGING="${WINEQT_FORCE_STDERR_LOGGING:-1}"

# The offscreen platform looks for fonts only in Qt's own lib/fonts, which is
# empty; without fonts every glyph is a box and text metrics are meaningless.
if [ -z "${WINEQT_QPA_FONTDIR:-}" ] && [ -d /usr/share/fonts/truetype/dejavu ]; then
  export WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'
fi

# exec: wine returns the program's exit code, which ctest must see unchanged.
exec "$CORVANE_WINE" "$@"
