#!/usr/bin/env bash
# Renders packaging/linux/corvane.svg into the multi-size corvane.ico that
# corvane.rc embeds. The .ico is committed, so that building on Windows needs
# neither tool; rerun this after changing the SVG.
# Needs rsvg-convert (librsvg2-bin) and icotool (icoutils).
set -eu

here="$(cd "$(dirname "$0")" && pwd)"
svg="$here/../linux/corvane.svg"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

set --
for size in 16 24 32 48; do
    rsvg-convert -w "$size" -h "$size" -o "$tmp/$size.png" "$svg"
    set -- "$@" "$tmp/$size.png"
done
# The 256 px image stays PNG-compressed inside the .ico, as Windows expects
# for that size; uncompressed it alone would be 256 KiB.
rsvg-convert -w 256 -h 256 -o "$tmp/256.png" "$svg"
icotool -c -o "$here/corvane.ico" "$@" -r "$tmp/256.png"
