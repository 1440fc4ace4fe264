#!/bin/sh
# Installs with apt-get (through sudo when not root) what building and
# testing Corvane needs on Debian 12 or Ubuntu and is missing, plus the
# packages named as arguments. "windows" names what the Windows packages are
# built and tried with: MinGW-w64 with the posix thread model (std::thread
# needs it), Wine to run the tests and the installer, NSIS, icoutils for the
# program's resources, lnkinfo for the installer's shortcut, Xvfb for the
# installed program's window, and what building Debian 13's qtbase takes.
# The fonts are those of the desktops whose texts the window must fit: Debian
# without a desktop, KDE, GNOME, and Liberation Sans for Windows' metrics.
set -eu

packages="cmake ninja-build g++ qt6-base-dev fonts-dejavu-core fonts-liberation2 fonts-noto-core fonts-cantarell"
for arg in "$@"; do
    case "$arg" in
        windows) packages="$packages g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
            binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev wine wine64 nsis icoutils
            liblnk-utils xvfb x11-utils zip unzip python3-jsonschema python3-yaml perl python3 dpkg-dev
            xz-utils debian-archive-keyring" ;;
        *) packages="$packages $arg" ;;
    esac
done

missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update
# shellcheck disable=SC2086
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
