#!/usr/bin/env bash
# Runs the Linux bundle where it has to run: in throwaway Debian 12 and 13
# chroots that hold what a desktop has (an X server, one font, and the
# libraries of host-libraries) and no Qt at all, cached for a week. As an
# ordinary user it unpacks the tarball into a folder with a space in its
# name, starts ./corvane under Xvfb and checks the window, the data folder
# and the menu entry; in Debian 13 it also starts it under Wayland (weston,
# headless, no Xwayland) and asks the compositor for the window. Needs root
# outside an unprivileged container; elsewhere it says so and skips.
#
#   check-bundle.sh [corvane-<version>-linux-x86_64.tar.xz]   default: the package preset's
set -euo pipefail
# shellcheck source=../../../scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib.sh"
cd "$CORVANE_ROOT"
can_chroot || { echo "check-bundle: skipped, as chroot and mount need root outside an unprivileged container"; exit 0; }
tarball="$(readlink -f "${1:-build/packages/corvane-$(corvane_version)-linux-x86_64.tar.xz}")"
[ -f "$tarball" ] || fail "$tarball is missing; cmake --workflow --preset package makes it"
name="$(basename "$tarball" .tar.xz)"
scripts/install-deps.sh mmdebstrap x11-utils desktop-file-utils xz-utils
cache="$CORVANE_CACHE/corvane-chroots"
mkdir -p "$cache"
work="$(mktemp -d /var/tmp/corvane-chroots.XXXXXX)"
pids=()
# Ends the processes started so far, newest first.
stop_all() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    pids=()
}
cleanup() {
    stop_all
    umount "$work"/*/proc 2>/dev/null || true
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT

# The window's size with the chroots' one font, DejaVu Sans at Qt's 9
# points, in which the form grows by 1.08 for its texts to fit.
width=368 height=179

# Fails saying $1 unless command $2... succeeds; must_soon waits 30 s for
# it, and shows the log $2 before failing.
must() { "${@:2}" >/dev/null 2>&1 || fail "$suite: $1"; }
must_soon() { wait_for "${@:3}" || { cat "$2" >&2; fail "$suite: $1"; }; }

# Prints the path of a fresh chroot of Debian suite $1 with packages $2...
# beside the desktop's; a week old, the cached image misses Debian's
# security updates of the libraries.
make_chroot() {
    local suite="$1" packages sources image
    shift
    # shellcheck disable=SC2046 # one package a word
    packages="$(printf '%s\n' $(grep '^[a-z0-9]' packaging/linux/bundle/host-libraries) \
        xvfb fonts-dejavu-core xz-utils "$@" | sort -u | paste -sd,)"
    sources=("deb $(debian_mirror debian) $suite main" "deb $(debian_mirror debian) $suite-updates main"
        "deb $(debian_mirror debian-security) $suite-security main")
    image="$cache/$suite-$(printf '%s\n' "$packages" "${sources[@]}" | sha256sum | cut -c1-16).tar"
    find "$cache" -name "$suite-*.tar*" \( -mtime +6 -o ! -name "$(basename "$image")" \) -delete
    if [ ! -f "$image" ]; then
        echo "== making the $suite chroot ($packages)" >&2
        mmdebstrap --quiet --variant=minbase --format=tar --include="$packages" "$suite" "$image.part" "${sources[@]}" >&2
        mv "$image.part" "$image"
    fi
    mkdir "$work/$suite"
    tar -xf "$image" -C "$work/$suite"
    echo "$work/$suite"
}

# The start of a command that runs the rest in the chroot as the user
# "gamer", with a desktop's plain environment plus any NAME=value put first.
# chroot and env exec what follows, so $! of "${as_gamer[@]} ... &" is that
# command's own process.
gamer_in() {
    as_gamer=(chroot --userspec=1000:1000 "$1" env -i HOME=/home/gamer USER=gamer PATH=/usr/local/bin:/usr/bin:/bin
        LANG=C.UTF-8 XDG_RUNTIME_DIR=/run/user/1000)
}

# Fails unless process $1 took Qt and plugin $2 from the bundle, and runs
# without LD_LIBRARY_PATH, which would reach every program it starts.
check_libraries() {
    local maps
    maps="$(cat "/proc/$1/maps")"
    must "Corvane did not load $2 from the bundle" grep -qF "$bundle/plugins/platforms/$2" <<<"$maps"
    if grep -F 'libQt6' <<<"$maps" | grep -vqF "$bundle/lib/"; then fail "$suite: Qt from outside the bundle"; fi
    if tr '\0' '\n' <"/proc/$1/environ" | grep -q '^LD_LIBRARY_PATH='; then fail "$suite: LD_LIBRARY_PATH is set"; fi
}

check_suite() {
    suite="$1"
    shift
    root="$(make_chroot "$suite" "$@")"
    gamer_in "$root"
    mount -t proc proc "$root/proc"
    # shellcheck disable=SC2016 # dpkg-query's field, not the shell's
    if chroot "$root" dpkg-query -W -f '${Package}\n' | grep -iE '^(lib)?qt'; then fail "$suite: the chroot has Qt"; fi
    local home="$root/home/gamer" corvane display info data="$root/home/gamer/.local/share"
    bundle="$home/My Games/$name"
    chroot "$root" useradd --create-home --uid 1000 --shell /bin/sh gamer
    install -d -o 1000 -g 1000 -m 700 "$root/run/user/1000"
    install -d -o 1000 -g 1000 "$home/Downloads"
    install -o 1000 -g 1000 -m 644 "$tarball" "$home/Downloads/"
    # shellcheck disable=SC2016 # the user's shell expands it
    "${as_gamer[@]}" sh -c 'cd && mkdir "My Games" && tar -xJf "Downloads/$1.tar.xz" -C "My Games"' sh "$name"

    # X11: a display server as a desktop's login manager starts it, as root,
    # reached from here through its abstract socket.
    chroot "$root" Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$root/tmp/display" 2>"$work/xvfb.log" &
    pids+=("$!")
    must_soon "Xvfb did not start" "$work/xvfb.log" grep -q '[0-9]' "$root/tmp/display"
    display=":$(cat "$root/tmp/display")"
    "${as_gamer[@]}" DISPLAY="$display" "/home/gamer/My Games/$name/corvane" >"$work/x11.log" 2>&1 &
    corvane=$!
    pids+=("$corvane")
    must_soon "no window named Corvane appeared on X11" "$work/x11.log" xwininfo -display "$display" -name Corvane
    info="$(xwininfo -display "$display" -name Corvane)"
    must "the window is not shown: $info" grep -q 'Map State: IsViewable' <<<"$info"
    must "the window is not $width pixels wide: $info" grep -qE "Width: $width\$" <<<"$info"
    must "the window is not $height pixels high: $info" grep -qE "Height: $height\$" <<<"$info"
    check_libraries "$corvane" libqxcb.so
    must "the launcher made no ~/.local/share/corvane/data of the user's" \
        test "$(stat -c %u "$data/corvane/data" 2>/dev/null)" = 1000
    stop_all
    echo "$suite: X11 window $width x $height titled Corvane, data in ~/.local/share/corvane/data"

    # The menu entry starts the launcher of this folder.
    local entry="$data/applications/io.github.corvane.Corvane.desktop" icon="$data/icons/hicolor/scalable/apps/corvane.svg"
    local metainfo="$data/metainfo/io.github.corvane.Corvane.metainfo.xml"
    "${as_gamer[@]}" "/home/gamer/My Games/$name/install-desktop-entry" >/dev/null
    must "install-desktop-entry wrote no desktop entry" test -f "$entry"
    [ -z "$(desktop-file-validate "$entry" 2>&1)" ] || fail "$suite: $(desktop-file-validate "$entry" 2>&1)"
    must "the entry does not start this folder's launcher: $(grep '^Exec=' "$entry")" \
        grep -qxF "Exec=\"/home/gamer/My Games/$name/corvane\"" "$entry"
    must "install-desktop-entry installed no icon" cmp "$icon" "$bundle/share/icons/hicolor/scalable/apps/corvane.svg"
    must "install-desktop-entry installed no AppStream data" test -f "$metainfo"
    "${as_gamer[@]}" "/home/gamer/My Games/$name/install-desktop-entry" --uninstall >/dev/null
    if [ -e "$entry" ] || [ -e "$icon" ] || [ -e "$metainfo" ]; then fail "$suite: --uninstall left files behind"; fi
    echo "$suite: desktop entry valid, installed and removed"
}

# Weston shows the window that Qt's Wayland plugin made: no X server runs
# and no Xwayland is installed, so nothing else could have drawn it.
check_wayland() {
    local corvane scene opaque
    "${as_gamer[@]}" weston --backend=headless --socket=wayland-corvane --debug >"$work/weston.log" 2>&1 &
    pids+=("$!")
    must_soon "weston did not start" "$work/weston.log" test -S "$root/run/user/1000/wayland-corvane"
    "${as_gamer[@]}" WAYLAND_DISPLAY=wayland-corvane QT_QPA_PLATFORM=wayland "/home/gamer/My Games/$name/corvane" \
        >"$work/wayland.log" 2>&1 &
    corvane=$!
    pids+=("$corvane")
    scene_has_window() {
        scene="$("${as_gamer[@]}" WAYLAND_DISPLAY=wayland-corvane timeout 5 weston-debug scene-graph)"
        grep -qF "role xdg_toplevel, PID $corvane, surface ID" <<<"$scene" \
            && grep -qF "top-level window 'Corvane' of io.github.corvane.Corvane" <<<"$scene"
    }
    must_soon "weston shows no window of Corvane" "$work/wayland.log" scene_has_window
    # In the scene that showed it; the view includes the decorations that Qt
    # draws, and the opaque part is the window itself.
    opaque="$(grep -A2 "PID $corvane," <<<"$scene" \
        | sed -n 's/.*\[opaque: (\([0-9]*\), \([0-9]*\)) -> (\([0-9]*\), \([0-9]*\))\].*/\3-\1 \4-\2/p')"
    [ "$(for size in $opaque; do echo $((size)); done | paste -sd' ')" = "$width $height" ] \
        || fail "$suite: the Wayland window is not $width x $height: $(grep -A3 "PID $corvane," <<<"$scene")"
    check_libraries "$corvane" libqwayland
    if grep -qF 'libqxcb.so' "/proc/$corvane/maps"; then fail "$suite: Corvane loaded the X11 plugin under Wayland"; fi
    stop_all
    echo "$suite: Wayland window $width x $height titled Corvane, shown by weston"
}

start=$SECONDS
check_suite bookworm
check_suite trixie weston
check_wayland
echo "check-bundle: checked in Debian 12 and 13 chroots in $((SECONDS - start)) s: $name"
