#!/bin/sh
# Builds the Linux packages and checks them the way a distribution would:
# lintian on the .deb, then the desktop entry, AppStream data and man page as
# they are installed. Any warning fails, not only errors.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev lintian desktop-file-utils appstream man-db
cmake --workflow --preset package

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)"
deb="build/packages/corvane_${version}_$(dpkg --print-architecture).deb"
lintian --fail-on error,warning --display-info "$deb"

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
appstreamcli validate --no-net --strict "$root"/usr/share/metainfo/*.metainfo.xml
# These two succeed despite warnings, so anything they print fails.
found="$(desktop-file-validate "$root"/usr/share/applications/*.desktop 2>&1)" || true
found="$found$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$root"/usr/share/man/man1/corvane.1.gz 2>&1 >/dev/null)" || true
if [ -n "$found" ]; then
    echo "$found"
    exit 1
fi
echo "Packages checked: $deb"
