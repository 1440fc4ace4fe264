#!/usr/bin/env bash
# Installs the Debian packages needed to cross-build the Windows package and
# to run its tests under wine. Safe to run repeatedly: when everything is
# already present it only checks and returns.
set -euo pipefail

packages=(
  # MinGW-w64 with the posix thread model (std::thread needs it)
  g++-mingw-w64-x86-64-posix
  gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  # running the Windows binaries and tests
  wine
  wine64
  # fonts for Qt's offscreen platform in tests run under wine
  fonts-dejavu-core
  # wrestool checks the program's icon, version and manifest resources
  icoutils
  # the installer, and trying it under wine as a user would: lnkinfo reads
  # its shortcut, Xvfb shows the installed program's window
  nsis
  liblnk-utils
  xvfb
  x11-utils
  # building qtbase from Debian 13's source package: its host tools with the
  # machine's own compiler, then the cross build
  g++
  cmake
  ninja-build
  perl
  python3
  dpkg-dev
  xz-utils
  debian-archive-keyring
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup-deps: all packages already installed"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
else
  as_root=(sudo)
fi

echo "setup-deps: installing ${missing[*]}"
# env rather than export: sudo would drop an exported variable.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y --no-install-recommends "${missing[@]}"
