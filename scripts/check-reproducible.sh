#!/usr/bin/env bash
# Builds this commit's release a second time, as someone else would: from a
# clone in a longer folder, with another umask and time zone, later, with the
# same cached Qt for Windows and the packaging steps only. Then compares it
# with build/release, which scripts/release.sh made, byte for byte, and
# names the first file that differs and, with diffoscope, what differs in it.
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$CORVANE_ROOT"
first=build/release
[ -f "$first/SHA256SUMS" ] || fail "no $first/SHA256SUMS; scripts/release.sh makes the first build"
git diff --quiet HEAD || fail "the checkout has changes that a clone would not have; commit them first"
scripts/install-deps.sh git diffoscope-minimal

work="$(mktemp -d /var/tmp/corvane-reproducible.XXXXXX)"
trap 'rm -rf "$work"' EXIT
second="$work/someone else's clone/of corvane"
git clone --quiet --no-local "$CORVANE_ROOT" "$second"
git -C "$second" checkout --quiet --detach "$(git rev-parse HEAD)"
(cd "$second" && umask 077 && TZ=Pacific/Chatham LANG=C.UTF-8 scripts/release.sh --no-checks) >"$work/build.log" 2>&1 \
    || { tail -n 40 "$work/build.log"; fail "the second build failed"; }

# The buildinfo names the commit and the machine's packages, not the build.
if diff -r -x '*.buildinfo' "$first" "$second/$first" >"$work/diff"; then
    echo "check-reproducible: built twice, byte for byte the same:"
    cat "$first/SHA256SUMS"
    exit 0
fi
# The first package that differs, then the first manifest.
for file in $(cut -c67- "$first/SHA256SUMS") $(cd "$first" && find manifests -type f 2>/dev/null | sort); do
    if ! cmp -s "$first/$file" "$second/$first/$file"; then
        echo "check-reproducible: $file differs between the builds:"
        timeout 600 diffoscope --text - "$first/$file" "$second/$first/$file" | head -n 150 || true
        break
    fi
done
cat "$work/diff"
fail "the release is not reproducible"
