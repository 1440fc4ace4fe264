#!/usr/bin/env bash
# Makes a release from this checkout: runs the test suite, builds and checks
# the Linux packages and the Windows zip and installer, and collects them
# with their checksums in build/release-artifacts, and the manifests that
# winget and Scoop install them by in its manifests/.
#
#   release.sh                 the Windows packages only when Qt for Windows is cached
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

# Packages left from an earlier build must not pass for this one.
setup="build/win64/Corvane-$version-win64-setup.exe"
rm -rf "$zip" "$setup" build/win64/manifests
packaging/windows/build.sh "${windows[@]}"
artifacts=("$deb" "$tgz" "$bundle")
# shellcheck source=../packaging/windows/paths.sh
source packaging/windows/paths.sh
if [ -f "$CORVANE_QT_WIN_STAMP" ]; then
    [ -f "$zip" ] || fail "$zip is missing"
    [ -f "$setup" ] || fail "$setup is missing"
    exe="$(mktemp -d)"
    trap 'rm -rf "$exe"' EXIT
    unzip -q -j "$zip" "Corvane-$version-win64/corvane.exe" -d "$exe"
    # build.sh has checked that the version resources are there.
    for file in "$exe/corvane.exe" "$setup"; do
        file_version="$(wrestool -x --raw --type=16 "$file" | strings -el | sed -n '/^ProductVersion$/{n;p}')"
        [ "$file_version" = "$version" ] || fail "$(basename "$file") is version '$file_version', not $version"
    done
    artifacts+=("$zip" "$setup")
else
    echo "release: no Windows packages, as Qt for Windows is not cached (--with-windows builds it)"
fi

out=build/release-artifacts
rm -rf "$out"
mkdir -p "$out"
cp "${artifacts[@]}" "$out/"
(cd "$out" && sha256sum -- * >SHA256SUMS)

# The package managers' manifests name the very files released, by address
# and hash, and carry the fields that winget and Scoop require.
has_lines() {
    local file="$1" line
    shift
    for line in "$@"; do
        grep -qxE -- "$line" "$file" || fail "$file has no line matching: $line"
    done
}
# The sum of a released file, as SHA256SUMS lists it.
sum_of() {
    sed -n "s/^\([0-9a-f]*\)  $(basename "$1")\$/\1/p" "$out/SHA256SUMS"
}
if [ -f "$setup" ]; then
    cp -r build/win64/manifests "$out/"
    url="$(sed -n 's/^CMAKE_PROJECT_HOMEPAGE_URL:STATIC=//p' build/win64/CMakeCache.txt)/releases/download/v$version"
    winget="$out/manifests/winget/Corvane.Corvane"
    for manifest in "$winget.yaml" "$winget.installer.yaml" "$winget.locale.en-US.yaml"; do
        has_lines "$manifest" "PackageIdentifier: Corvane.Corvane" "PackageVersion: $version" \
            "ManifestVersion: 1\.9\.0"
    done
    has_lines "$winget.yaml" "DefaultLocale: en-US" "ManifestType: version"
    has_lines "$winget.installer.yaml" "InstallerType: nullsoft" "Scope: user" "  - Architecture: x64" \
        "    InstallerUrl: $url/$(basename "$setup")" \
        "    InstallerSha256: $(sum_of "$setup")" "ManifestType: installer"
    has_lines "$winget.locale.en-US.yaml" "PackageLocale: en-US" "Publisher: .+" "PackageName: Corvane" \
        "License: MIT" "ShortDescription: .+" "ManifestType: defaultLocale"
    has_lines "$out/manifests/scoop/corvane.json" "    \"version\": \"$version\"," \
        "            \"url\": \"$url/$(basename "$zip")\"," \
        "            \"hash\": \"$(sum_of "$zip")\"," "    \"persist\": \"data\""
fi
echo "Release $version in $out:"
ls -l "$out"
