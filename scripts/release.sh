#!/usr/bin/env bash
# Makes a release from this checkout: runs the test suite, builds and checks
# the Linux packages and the Windows zip, and collects them with their
# checksums in build/release-artifacts.
#
#   release.sh                 the Windows zip only when Qt for Windows is cached
#   release.sh --with-windows  builds Qt for Windows first when it is not
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

windows=(--if-cached)
case "${1:-}" in
    "") ;;
    --with-windows) windows=() ;;
    *) echo "usage: $0 [--with-windows]" >&2; exit 2 ;;
esac

fail() {
    echo "release: $*" >&2
    exit 1
}

scripts/install-deps.sh icoutils unzip && cmake --workflow --preset test
scripts/check-packages.sh

# Everything must carry the project's version from CMakeLists.txt.
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)"
deb="build/packages/corvane_${version}_$(dpkg --print-architecture).deb"
tgz="build/packages/corvane-$version-Linux.tar.gz"
zip="build/win64/Corvane-$version-win64.zip"
bundle="build/packages/corvane-$version-linux-x86_64.tar.xz"
[ -f "$tgz" ] || fail "$tgz is missing"
[ -f "$bundle" ] || fail "$bundle is missing"
[ "$(tar -tJf "$bundle" | cut -d/ -f1 | sort -u)" = "corvane-$version-linux-x86_64" ] \
    || fail "$bundle does not unpack to corvane-$version-linux-x86_64/"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$deb is not version $version"
metainfo="$(dpkg-deb --fsys-tarfile "$deb" \
    | tar -xO ./usr/share/metainfo/io.github.corvane.Corvane.metainfo.xml)"
grep -qF "<release version=\"$version\"" <<<"$metainfo" \
    || fail "the AppStream release in $deb is not $version"

# A zip left from an earlier build must not pass for this one.
rm -f "$zip"
packaging/windows/build.sh "${windows[@]}"
artifacts=("$deb" "$tgz" "$bundle")
# shellcheck source=../packaging/windows/paths.sh
source packaging/windows/paths.sh
if [ -f "$CORVANE_QT_WIN_STAMP" ]; then
    [ -f "$zip" ] || fail "$zip is missing"
    exe="$(mktemp -d)"
    trap 'rm -rf "$exe"' EXIT
    unzip -q -j "$zip" "Corvane-$version-win64/corvane.exe" -d "$exe"
    # build.sh has checked that the icon and the version resource are there.
    exe_version="$(wrestool -x --raw --type=16 "$exe/corvane.exe" \
        | strings -el | sed -n '/^ProductVersion$/{n;p}')"
    [ "$exe_version" = "$version" ] || fail "corvane.exe is version '$exe_version', not $version"
    artifacts+=("$zip")
else
    echo "release: no Windows zip, as Qt for Windows is not cached (--with-windows builds it)"
fi

out=build/release-artifacts
rm -rf "$out"
mkdir -p "$out"
cp "${artifacts[@]}" "$out/"
(cd "$out" && sha256sum -- * >SHA256SUMS)
echo "Release $version in $out:"
ls -l "$out"
