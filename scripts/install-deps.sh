#!/bin/sh
# Installs what building and testing Corvane needs on Debian 12 or Ubuntu,
# plus any further packages named as arguments.
set -eu

packages="cmake ninja-build g++ qt6-base-dev fonts-dejavu-core $*"

missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing="$missing $package"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update
# shellcheck disable=SC2086
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
