#!/usr/bin/env bash
# Builds the Windows x64 packages on Debian: Qt for Windows (once, cached
# outside the checkout), then Corvane with the whole test suite run under
# wine, then build/win64/Corvane-<version>-win64.zip and the installer
# Corvane-<version>-win64-setup.exe, which is tried under wine.
#
#   build.sh            everything; the first run builds Qt (about 20 minutes)
#   build.sh --if-cached  the same, but only when Qt for Windows is already
#                       cached; otherwise says so in one line and succeeds
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
# shellcheck source=paths.sh
source "$here/paths.sh"

if [ "${1:-}" = "--if-cached" ] && [ ! -f "$CORVANE_QT_WIN_STAMP" ]; then
  echo "Windows build skipped: no cross-built Qt in $CORVANE_QT_WIN_PREFIX (packaging/windows/build.sh makes it)"
  exit 0
fi

"$here/setup-deps.sh"
"$here/build-qt.sh"

# Screen readers reach the window through Qt's accessibility.
if ! grep -qx '#define QT_FEATURE_accessibility 1' "$CORVANE_QT_WIN_PREFIX/include/QtGui/qtgui-config.h"; then
  echo "Qt for Windows in $CORVANE_QT_WIN_PREFIX was built without accessibility" >&2
  exit 1
fi

build="$root/build/win64"
# Debian's Qt leaves the plugins out of its CMake packages unless asked.
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
  -DCORVANE_MINGW_ROOT="$CORVANE_MINGW_ROOT" \
  -DQT_SKIP_AUTO_PLUGIN_INCLUSION=OFF \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
  -DCMAKE_PREFIX_PATH="$CORVANE_QT_WIN_PREFIX" \
  -DQT_HOST_PATH="$CORVANE_HOST_QT_PREFIX" \
  -DQT_HOST_PATH_CMAKE_DIR="$CORVANE_HOST_QT_CMAKE_DIR" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
# One staged tree, checked here, is what both the zip and the installer hold.
stage="$build/stage"
rm -rf "$stage"
cmake --install "$build" --prefix "$stage"
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

# Fails unless the text holds each of the strings; the second argument names
# the text.
require() {
  local text="$1" what="$2" want
  shift 2
  for want in "$@"; do
    if ! grep -qF -- "$want" <<<"$text"; then
      echo "$what lacks $want" >&2
      exit 1
    fi
  done
}
# Without them Windows shows a generic icon and no version details, and
# treats the program as one made for an older Windows.
require "$(wrestool -l "$stage/corvane.exe")" "corvane.exe's resources" \
  "--type=14 --name='IDI_ICON1'" "--type=16 " "--type=24 --name=1 "
require "$(wrestool -x --raw --type=24 "$stage/corvane.exe")" "corvane.exe's manifest" \
  'level="asInvoker"' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' '>true</longPathAware>'

# The notices name the exact Qt source that the DLLs were built from.
require "$(cat "$root/packaging/THIRD-PARTY-NOTICES.txt")" "THIRD-PARTY-NOTICES.txt" \
  "$(sed -n 's/^source=//p' "$CORVANE_QT_WIN_STAMP").dsc"

name="Corvane-$version-win64"
rm -f "$build/$name.zip" "$build/$name-setup.exe"
cpack --config "$build/CPackConfig.cmake"
"$here/check-installer.sh" "$build"
echo "Windows packages: $build/$name.zip ($(du -h "$build/$name.zip" | cut -f1)), $build/$name-setup.exe ($(du -h "$build/$name-setup.exe" | cut -f1))"
