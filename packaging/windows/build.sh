#!/usr/bin/env bash
# Builds the Windows x64 packages on Debian: Qt for Windows once
# (build-qt.sh), then Corvane with its whole test suite under Wine, one
# staged tree, and from it CPack's zip and installer (check-resources.cmake
# checks both), with the winget and Scoop manifests, in build/win64;
# check-installer.sh tries the installer under Wine.
#
#   build.sh              everything; the first run builds Qt (about 25 minutes)
#   build.sh --if-cached  the same when Qt for Windows is cached; else says so
#   build.sh --no-checks  the packages alone, when Qt is cached (check-reproducible.sh)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=paths.sh
source "$here/paths.sh"
checks=true
[ "${1:-}" = --no-checks ] && checks=false
if [ -n "${1:-}" ] && [ ! -f "$CORVANE_QT_WIN_STAMP" ]; then
    echo "Windows packages skipped: no Qt for Windows in $CORVANE_QT_WIN_PREFIX (packaging/windows/build.sh makes it)"
    exit 0
fi
"$CORVANE_ROOT/scripts/install-deps.sh" windows
"$here/build-qt.sh"

# The linker and strip stamp the DLLs and programs with SOURCE_DATE_EPOCH.
reproducible
cd "$CORVANE_ROOT"
build=build/win64
cmake --preset win64
if $checks; then
    cmake --build --preset win64
    ctest --preset win64
else
    cmake --build --preset win64 --target corvane
fi
stage="$build/stage"
rm -rf "$stage"
cmake --install "$build" --prefix "$stage"
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

name="Corvane-$(corvane_version)-win64"
rm -rf "$build/$name.zip" "$build/$name-setup.exe" "$build/manifests"
cpack --config "$build/CPackConfig.cmake"
if $checks; then
    "$here/check-manifests.py" "$build/manifests"
    "$here/check-installer.sh" "$build"
fi
echo "Windows packages: $build/$name.zip, $build/$name-setup.exe"
