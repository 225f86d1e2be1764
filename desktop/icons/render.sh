#!/bin/sh
# Renders the PNG sizes of the icon from quendra.svg. The PNGs are committed, so a build needs
# no SVG renderer; run this after changing the SVG (apt-get install librsvg2-bin).
set -e
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" quendra.svg -o "quendra-$size.png"
done
