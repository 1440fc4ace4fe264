#!/usr/bin/env bash
# Runs the Linux bundle where it has to run: in throwaway Debian 12 and 13
# chroots that hold what a desktop has (an X server, one font, and the
# libraries of host-libraries) and no Qt at all. As an ordinary user it
# unpacks the tarball into a folder with a space in its name, starts
# ./corvane under Xvfb and checks the window, the data folder and the menu
# entry; in Debian 13 it also starts it under Wayland (weston, headless, no
# Xwayland) and asks the compositor for the window.
#
#   check-in-chroots.sh [corvane-<version>-linux-x86_64.tar.xz]
#
# Without an argument it checks the tarball that `cmake --workflow --preset
# bundle` made. The chroots are cached in ~/.cache/corvane-chroots for a
# week, keyed on their package list; each run unpacks fresh copies.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../../.."

fail() {
    echo "check-in-chroots: $*" >&2
    exit 1
}

# An unprivileged container (as GitHub's jobs run in) allows no mount.
probe="$(mktemp -d)"
if ! mount -t proc proc "$probe" 2>/dev/null; then
    rmdir "$probe"
    echo "check-in-chroots: skipped, as chroot and mount need root outside an unprivileged container"
    exit 0
fi
umount "$probe"
rmdir "$probe"

if [ $# -gt 0 ]; then
    tarball="$(readlink -f "$1")"
else
    [ -f build/bundle/CMakeCache.txt ] || fail "no bundle built; cmake --workflow --preset bundle makes it"
    version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/bundle/CMakeCache.txt)"
    tarball="$PWD/build/packages/corvane-$version-linux-x86_64.tar.xz"
fi
[ -f "$tarball" ] || fail "$tarball is missing; cmake --workflow --preset bundle makes it"
name="$(basename "$tarball" .tar.xz)"

scripts/install-deps.sh mmdebstrap x11-utils desktop-file-utils xz-utils
# shellcheck source=../../../scripts/debian-mirror.sh
source scripts/debian-mirror.sh

cache="${XDG_CACHE_HOME:-$HOME/.cache}/corvane-chroots"
mkdir -p "$cache"
host_packages="$(grep '^[a-z0-9]' packaging/linux/bundle/host-libraries)"

work=""
pids=()
mounts=()
cleanup() {
    stop_all
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" || true
    done
    [ -z "$work" ] || rm -rf --one-file-system "$work"
}
trap cleanup EXIT

started() {
    pids+=("$1")
}

# Ends the processes started so far, newest first.
stop_all() {
    local pid
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid="${pids[i]}"
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    pids=()
}

# Prints the path of a fresh chroot of Debian suite $1 with packages $2...
# beside the desktop's, made from the cached tarball or cached anew.
make_chroot() {
    local suite="$1" packages sources key image root
    shift
    # shellcheck disable=SC2086 # one package a word
    packages="$(printf '%s\n' $host_packages xvfb fonts-dejavu-core xz-utils "$@" | sort -u | paste -sd,)"
    sources=("deb $(debian_mirror debian) $suite main"
        "deb $(debian_mirror debian) $suite-updates main"
        "deb $(debian_mirror debian-security) $suite-security main")
    key="$(printf '%s\n' "$packages" "${sources[@]}" | sha256sum | cut -c1-16)"
    image="$cache/$suite-$key.tar"
    # A week old, it misses Debian's security updates of the libraries.
    find "$cache" -name "$suite-*.tar*" \( -mtime +6 -o ! -name "$suite-$key.tar" \) -delete
    if [ ! -f "$image" ]; then
        echo "== making the $suite chroot ($packages)" >&2
        mmdebstrap --quiet --variant=minbase --format=tar --include="$packages" \
            "$suite" "$image.part" "${sources[@]}" >&2
        mv "$image.part" "$image"
    fi
    root="$work/$suite"
    mkdir "$root"
    tar -xf "$image" -C "$root"
    echo "$root"
}

# The start of a command that runs the rest in chroot $1 as the user
# "gamer", with a desktop's plain environment plus any NAME=value put
# first. chroot and env exec what follows, so $! of "${user[@]} ... &" is
# that command's own process.
user_in() {
    user=(chroot --userspec=1000:1000 "$1" env -i HOME=/home/gamer USER=gamer
        PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR=/run/user/1000)
}

# Waits up to 30 seconds for command $3... to succeed; else fails saying
# $1, followed by the log file $2.
wait_for() {
    local what="$1" log="$2" tries=60
    shift 2
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        if [ "$tries" -eq 0 ]; then
            cat "$log" >&2
            fail "$what"
        fi
        sleep 0.5
    done
}

# Fails unless process $1 of chroot $2 took Qt and plugin $3 from the bundle.
check_libraries() {
    local pid="$1" root="$2" plugin="$3" bundle="$2/home/gamer/My Games/$name"
    local maps
    maps="$(cat "/proc/$pid/maps")"
    grep -qF "$bundle/plugins/platforms/$plugin" <<<"$maps" \
        || fail "$suite: Corvane did not load $plugin from the bundle"
    if grep -F 'libQt6' <<<"$maps" | grep -vqF "$bundle/lib/"; then
        fail "$suite: Corvane loaded a Qt library from outside the bundle"
    fi
    if tr '\0' '\n' <"/proc/$pid/environ" | grep -q '^LD_LIBRARY_PATH='; then
        fail "$suite: Corvane runs with LD_LIBRARY_PATH set"
    fi
}

check_suite() {
    local suite="$1" root display corvane xvfb home entry data
    shift
    root="$(make_chroot "$suite" "$@")"
    mount -t proc proc "$root/proc"
    mounts+=("$root/proc")
    # shellcheck disable=SC2016 # dpkg-query's field, not the shell's
    if chroot "$root" dpkg-query -W -f '${Package}\n' | grep -iE '^(lib)?qt'; then
        fail "$suite: the chroot has Qt installed"
    fi

    home="$root/home/gamer"
    user_in "$root"
    chroot "$root" useradd --create-home --uid 1000 --shell /bin/sh gamer
    install -d -o 1000 -g 1000 -m 700 "$root/run/user/1000"
    install -d -o 1000 -g 1000 "$home/Downloads"
    install -o 1000 -g 1000 -m 644 "$tarball" "$home/Downloads/"
    # shellcheck disable=SC2016 # the user's shell expands it
    "${user[@]}" sh -c 'cd && mkdir -p "My Games" && tar -xJf "Downloads/$1.tar.xz" -C "My Games"' \
        sh "$name"

    # X11: a display server as a desktop's login manager starts it, as root.
    rm -f "$root/tmp/display"
    chroot "$root" Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$root/tmp/display" 2>"$work/$suite-xvfb.log" &
    xvfb=$!
    started "$xvfb"
    wait_for "$suite: Xvfb did not start" "$work/$suite-xvfb.log" grep -q '[0-9]' "$root/tmp/display"
    display=":$(cat "$root/tmp/display")"
    "${user[@]}" DISPLAY="$display" "/home/gamer/My Games/$name/corvane" \
        >"$work/$suite-x11.log" 2>&1 &
    corvane=$!
    started "$corvane"
    # The chroot's X server is reached from here through its abstract socket.
    wait_for "$suite: no window named Corvane appeared on X11" "$work/$suite-x11.log" \
        xwininfo -display "$display" -name Corvane
    local info
    info="$(xwininfo -display "$display" -name Corvane)"
    grep -q 'Map State: IsViewable' <<<"$info" || fail "$suite: the window is not shown: $info"
    if ! { grep -qE 'Width: 341$' <<<"$info" && grep -qE 'Height: 166$' <<<"$info"; }; then
        fail "$suite: the window is not 341 x 166: $info"
    fi
    check_libraries "$corvane" "$root" libqxcb.so
    [ -d "$home/.local/share/corvane/data" ] \
        || fail "$suite: the launcher left no data folder in ~/.local/share/corvane"
    [ "$(stat -c %u "$home/.local/share/corvane/data")" = 1000 ] \
        || fail "$suite: the data folder does not belong to the user"
    stop_all
    echo "$suite: X11 window 341 x 166 titled Corvane, data in ~/.local/share/corvane/data"

    # The menu entry points at the launcher of this folder.
    "${user[@]}" "/home/gamer/My Games/$name/install-desktop-entry" >/dev/null
    entry="$home/.local/share/applications/io.github.corvane.Corvane.desktop"
    data="$home/.local/share"
    [ -f "$entry" ] || fail "$suite: install-desktop-entry wrote no desktop entry"
    local problems
    problems="$(desktop-file-validate "$entry" 2>&1)" || true
    [ -z "$problems" ] || fail "$suite: desktop-file-validate: $problems"
    grep -qxF "Exec=\"/home/gamer/My Games/$name/corvane\"" "$entry" \
        || fail "$suite: the entry does not start this folder's launcher: $(grep '^Exec=' "$entry")"
    cmp -s "$data/icons/hicolor/scalable/apps/corvane.svg" \
        "$home/My Games/$name/share/icons/hicolor/scalable/apps/corvane.svg" \
        || fail "$suite: install-desktop-entry installed no icon"
    [ -f "$data/metainfo/io.github.corvane.Corvane.metainfo.xml" ] \
        || fail "$suite: install-desktop-entry installed no AppStream data"
    "${user[@]}" "/home/gamer/My Games/$name/install-desktop-entry" --uninstall >/dev/null
    if [ -e "$entry" ] || [ -e "$data/icons/hicolor/scalable/apps/corvane.svg" ] \
        || [ -e "$data/metainfo/io.github.corvane.Corvane.metainfo.xml" ]; then
        fail "$suite: install-desktop-entry --uninstall left files behind"
    fi
    echo "$suite: desktop entry valid, installed and removed"

    if [ "$suite" = trixie ]; then
        check_wayland "$root"
    fi
}

# Weston shows the window that Qt's Wayland plugin made: no X server runs
# and no Xwayland is installed, so nothing else could have drawn it.
check_wayland() {
    local root="$1" weston corvane scene
    "${user[@]}" weston --backend=headless --socket=wayland-corvane --debug \
        >"$work/weston.log" 2>&1 &
    weston=$!
    started "$weston"
    wait_for "trixie: weston did not start" "$work/weston.log" \
        test -S "$root/run/user/1000/wayland-corvane"
    "${user[@]}" WAYLAND_DISPLAY=wayland-corvane QT_QPA_PLATFORM=wayland \
        "/home/gamer/My Games/$name/corvane" >"$work/wayland.log" 2>&1 &
    corvane=$!
    started "$corvane"
    scene_has_window() {
        scene="$("${user[@]}" WAYLAND_DISPLAY=wayland-corvane timeout 5 weston-debug scene-graph)"
        grep -qF "role xdg_toplevel, PID $corvane, surface ID" <<<"$scene" \
            && grep -qF "top-level window 'Corvane' of io.github.corvane.Corvane" <<<"$scene"
    }
    wait_for "trixie: weston shows no window of Corvane" "$work/wayland.log" scene_has_window
    # The scene that showed it. The view includes the decorations that Qt
    # draws; the opaque part is the window itself.
    local opaque
    opaque="$(grep -A2 "PID $corvane," <<<"$scene" | sed -n 's/.*\[opaque: (\([0-9]*\), \([0-9]*\)) -> (\([0-9]*\), \([0-9]*\))\].*/\1 \2 \3 \4/p')"
    # shellcheck disable=SC2086 # four numbers
    set -- $opaque
    if ! { [ $# -eq 4 ] && [ $(($3 - $1)) -eq 341 ] && [ $(($4 - $2)) -eq 166 ]; }; then
        fail "trixie: the Wayland window is not 341 x 166: $(grep -A3 "PID $corvane," <<<"$scene")"
    fi
    check_libraries "$corvane" "$root" libqwayland
    if grep -qF 'libqxcb.so' "/proc/$corvane/maps"; then
        fail "trixie: Corvane loaded the X11 plugin under Wayland"
    fi
    stop_all
    echo "trixie: Wayland window 341 x 166 titled Corvane, shown by weston"
}

work="$(mktemp -d /var/tmp/corvane-chroots.XXXXXX)"
start=$SECONDS
check_suite bookworm
check_suite trixie weston
echo "Bundle checked in Debian 12 and 13 chroots in $((SECONDS - start)) s: $name"
