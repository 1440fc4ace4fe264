# shellcheck shell=bash
# What the project's scripts share; sourced, never run. Sets CORVANE_ROOT.

CORVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

fail() { echo "$(basename "$0"): $*" >&2; exit 1; }
corvane_version() { sed -n 's/^project(Corvane VERSION \([0-9.]*\).*/\1/p' "$CORVANE_ROOT/CMakeLists.txt"; }

# The same bytes from the same commit, wherever, whenever and by whomever it
# is built: every tool that records a date records noon UTC of the release
# day in CMakeLists.txt (as CMake's CORVANE_SOURCE_DATE_EPOCH does), new files
# get the same modes, and no date or sort order follows the machine's locale
# (the C locale, in UTF-8 so that Wine can still name files in any script).
reproducible() {
    local day
    day="$(sed -n 's/^set(CORVANE_RELEASE_DAY \([0-9-]*\))$/\1/p' "$CORVANE_ROOT/CMakeLists.txt")"
    SOURCE_DATE_EPOCH="$(date -u -d "$day 12:00" +%s)"
    export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
    umask 022
}

# Caches that outlive a checkout: Qt for Windows (tens of minutes to build)
# and the Debian chroots of the bundle's check.
CORVANE_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}"
export CORVANE_WIN_CACHE="${CORVANE_WIN_CACHE:-$CORVANE_CACHE/corvane-win64}"

# Waits up to 30 seconds for a command to succeed.
wait_for() {
    for _ in $(seq 60); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.5
    done
    return 1
}

# Whether this may mount and chroot, as the checks in chroots need: root,
# outside an unprivileged container.
can_chroot() {
    local probe status=1
    probe="$(mktemp -d)"
    mount -t proc proc "$probe" 2>/dev/null && umount "$probe" && status=0
    rmdir "$probe"
    return "$status"
}

# The address of Debian archive $1 ("debian" or "debian-security") as this
# machine's apt sources name it, so that a local mirror or proxy keeps
# working; Debian's own where they name none.
debian_mirror() {
    local uri
    # shellcheck disable=SC2016 # apt's field, not the shell's
    uri="$(apt-get indextargets --format '$(REPO_URI)' | grep -m1 -E "/$1/?\$")" || true
    echo "${uri:-http://deb.debian.org/$1/}"
}
