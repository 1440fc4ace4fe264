#!/usr/bin/env bash
# Makes a release from this checkout, each file built once and checked as it
# is released: the Linux packages from a build that runs the whole test suite
# (the package preset), checked by packaging/linux/check-*.sh and
# bundle/check-bundle.sh, and the Windows packages, built and checked by
# packaging/windows/build.sh. Collects them in build/release with their
# SHA256SUMS, the winget and Scoop manifests in manifests/, and
# corvane-<version>.buildinfo, which names the Debian packages that built them.
#
#   release.sh                 the Windows packages only when Qt for Windows is cached
#   release.sh --with-windows  builds Qt for Windows first when it is not
#   release.sh --no-checks     the packages alone, unchecked (check-reproducible.sh)
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
checks=true
case "${1:-}" in
    "") windows=--if-cached ;;
    --with-windows) windows="" ;;
    --no-checks) windows=--no-checks checks=false ;;
    *) echo "usage: $0 [--with-windows | --no-checks]" >&2; exit 2 ;;
esac
reproducible
cd "$CORVANE_ROOT"
scripts/install-deps.sh dpkg-dev patchelf qt6-wayland zip unzip xz-utils
version="$(corvane_version)"
# Nothing from an earlier build may pass for this one.
rm -rf build/packages build/release build/win64/Corvane-* build/win64/manifests

if $checks; then
    cmake --workflow --preset package
    packaging/linux/check-deb.sh
    packaging/linux/check-install.sh
    packaging/linux/bundle/check-bundle.sh
else
    cmake --preset package
    cmake --build --preset package --target corvane corvane_docs
    cpack --preset package
fi
packaging/windows/build.sh ${windows:+"$windows"}

out=build/release
mkdir -p "$out"
cp build/packages/*"$version"* "$out/"
windows_files=(build/win64/Corvane-"$version"-win64{.zip,-setup.exe} build/win64/manifests)
if [ -d build/win64/manifests ]; then cp -r "${windows_files[@]}" "$out/"; fi
sums="$(cd "$out" && find . -maxdepth 1 -type f -printf '%P\n' | sort | xargs sha256sum)"
echo "$sums" >"$out/SHA256SUMS"
{
    echo "Source: corvane $version"
    echo "Commit: $(git rev-parse HEAD 2>/dev/null || echo none)"
    echo "Source-Date-Epoch: $SOURCE_DATE_EPOCH"
    # shellcheck source=../packaging/windows/paths.sh
    if [ -d build/win64/manifests ]; then echo "Qt-For-Windows: $(source packaging/windows/paths.sh \
        && tr '\n' ' ' <"$CORVANE_QT_WIN_PREFIX/.corvane-inputs")"; fi
    echo "Installed-Build-Depends:"
    dpkg-query -W -f='${db:Status-Abbrev}${Package}:${Architecture} (= ${Version})\n' | sed -n 's/^ii / /p' | sort
} >"$out/corvane-$version.buildinfo"
echo "Release $version in $out:"
cat "$out/SHA256SUMS"
