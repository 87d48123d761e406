#!/usr/bin/env bash
# Renders the PNG icons from tokotoko.svg. Run by hand after changing the SVG and commit the
# PNGs: the build installs them as they are, so rsvg-convert is no build dependency.
#   bash packaging/icons/render-icons.sh      (needs librsvg2-bin)
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" tokotoko.svg --output "png/tokotoko-$size.png"
done
