#!/usr/bin/env bash
# Renders ui/icons/tarvok-<N>.png, every size the desktop and the window use, from the
# one source ui/icons/tarvok.svg. Run it after changing the SVG and commit the PNGs.
# Needs librsvg2-bin (rsvg-convert).
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" ui/icons/tarvok.svg -o "ui/icons/tarvok-$size.png"
done
