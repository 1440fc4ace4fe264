#!/usr/bin/env bash
# Installs, removes and purges the .deb in a Debian 12 chroot with piuparts,
# which fails on anything left behind or broken on the way. Needs root
# outside an unprivileged container; elsewhere it says so and skips.
#
#   check-install.sh [corvane_<version>_amd64.deb]   default: the package preset's
set -euo pipefail
# shellcheck source=../../scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"
cd "$CORVANE_ROOT"
can_chroot || { echo "check-install: skipped, as piuparts needs root outside an unprivileged container"; exit 0; }
scripts/install-deps.sh piuparts
deb="$(readlink -f "${1:-build/packages/corvane_$(corvane_version)_$(dpkg --print-architecture).deb}")"
[ -f "$deb" ] || fail "$deb is missing; cmake --workflow --preset package makes it"
# The base chroot is kept for a week, after which it misses Debian's updates.
base="$CORVANE_CACHE/corvane-chroots/piuparts-bookworm.tar.gz"
mkdir -p "$(dirname "$base")"
find "$(dirname "$base")" -name "$(basename "$base")" -mtime +6 -delete
if [ -f "$base" ]; then from=(--basetgz "$base"); else from=(--save "$base"); fi
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
piuparts --distribution bookworm --mirror "$(debian_mirror debian)" "${from[@]}" --no-upgrade-test "$deb" >"$log" 2>&1 \
    || { grep -A8 -E ' (FAIL|ERROR): ' "$log" | grep -v ' DEBUG: ' | head -n 40; fail "piuparts failed on $deb"; }
echo "check-install: installed, removed and purged in Debian 12 without a trace: $deb"
