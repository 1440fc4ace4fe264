#!/bin/sh
# Runs a test program as the user nobody, for the cases that need permissions
# to count: root ignores them. The program runs from a copy in a fresh folder,
# so that the permissions of the checkout it was built in do not matter.
# Usage: run-as-nobody.sh PROGRAM [ARGUMENT...]
set -eu
program="$1"
shift
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
chmod 755 "$dir"
cp "$program" "$dir/"
cd "$dir"
setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env \
    env QT_QPA_PLATFORM=offscreen HOME=/tmp TMPDIR=/tmp "./$(basename "$program")" "$@"
