#!/usr/bin/env bash
# Builds the Windows x64 package on Debian: Qt for Windows (once, cached
# outside the checkout), then Corvane with the whole test suite run under
# wine, then build/win64/Corvane-<version>-win64.zip.
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
name="Corvane-$version-win64"
stage="$build/$name"
rm -rf "$stage" "$build/$name.zip"
cmake --install "$build" --prefix "$stage"

# Follows the imports of every program and plugin to the DLLs it needs from
# Qt and the MinGW runtime; Windows' own DLLs are left out because they are
# found in none of these folders. Import names and file names may differ in
# case, as Windows does not care.
dll_dirs=("$CORVANE_QT_WIN_PREFIX/bin" "$CORVANE_MINGW_GCC_DLL_DIR" "$CORVANE_MINGW_SYS_DLL_DIR")
pending=("$stage"/corvane.exe "$stage"/*/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
  file="${pending[0]}"
  pending=("${pending[@]:1}")
  while read -r dll; do
    [ -n "$(find "$stage" -maxdepth 1 -iname "$dll" -print -quit)" ] && continue
    for dir in "${dll_dirs[@]}"; do
      found="$(find "$dir" -maxdepth 1 -iname "$dll" -print -quit)"
      if [ -n "$found" ]; then
        cp "$found" "$stage/"
        pending+=("$stage/$(basename "$found")")
        break
      fi
    done
  done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done

find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

# Without them Windows shows a generic icon and no version details.
resources="$(wrestool -l "$stage/corvane.exe")"
for want in "--type=14 --name='IDI_ICON1'" "--type=16 "; do
  if ! grep -qF -- "$want" <<<"$resources"; then
    echo "corvane.exe lacks the resource $want" >&2
    exit 1
  fi
done

# The notices name the exact Qt source that the DLLs were built from.
notices="$root/packaging/THIRD-PARTY-NOTICES.txt"
qt_source="$(sed -n 's/^source=//p' "$CORVANE_QT_WIN_STAMP")"
if ! grep -qF -- "$qt_source.dsc" "$notices"; then
  echo "$notices does not name the Qt source $qt_source" >&2
  exit 1
fi

# The licence texts of Qt and of the code it bundles come from the Qt source
# the DLLs were built from, Debian's copyright files from the source and the
# packages that built them. The source comes last on each line, as the
# checkout's path may contain spaces.
qt_licenses="$CORVANE_QT_WIN_PREFIX/licenses"
mkdir "$stage/licenses"
while read -r dest src; do
  if [ ! -f "$src" ]; then
    echo "licence file $src is missing" >&2
    exit 1
  fi
  cp "$src" "$stage/$dest"
done <<LIST
LICENSE $root/LICENSE
THIRD-PARTY-NOTICES.txt $notices
licenses/qt6-base-copyright.txt $qt_licenses/qt6-base-copyright.txt
licenses/Imlib2.txt $qt_licenses/QIMAGETRANSFORM_LICENSE.txt
licenses/gcc-mingw-w64-copyright.txt /usr/share/doc/gcc-mingw-w64-base/copyright
licenses/mingw-w64-copyright.txt $CORVANE_MINGW_ROOT/copyright
$(for id in LGPL-3.0-only GPL-3.0-only GPL-2.0-only BSD-2-Clause BSD-3-Clause MIT Zlib Apache-2.0 CC0-1.0 \
  Unicode-DFS-2016 Unicode-3.0 FTL Libpng libpng-2.0 MIT-open-group X11 HPND LicenseRef-ICC-License \
  LicenseRef-SHA1-Public-Domain LicenseRef-BSD-3-Clause-with-PCRE2-Binary-Like-Packages-Exception; do
  echo "licenses/$id.txt $qt_licenses/$id.txt"
done)
LIST

(cd "$build" && zip -qr9 "$name.zip" "$name")
echo "Windows package: $build/$name.zip ($(du -h "$build/$name.zip" | cut -f1))"
