#!/usr/bin/env bash
# Renders ui/icons/tarvok-<N>.png, every size the desktop and the window use, from the
# one source ui/icons/tarvok.svg. Run it after changing the SVG and commit the PNGs.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v rsvg-convert >/dev/null; then
    echo "需要 rsvg-convert：请先安装 librsvg2-bin（sudo apt-get install librsvg2-bin）。" >&2
    exit 1
fi
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" ui/icons/tarvok.svg -o "ui/icons/tarvok-$size.png"
done
# The Windows program's icon: the same PNGs packed into one .ico (PNG entries, which
# every Windows since Vista reads).
python3 - <<'PY'
import struct
sizes = [16, 24, 32, 48, 64, 128, 256]
images = [open(f"ui/icons/tarvok-{s}.png", "rb").read() for s in sizes]
out = struct.pack("<HHH", 0, 1, len(sizes))
offset = 6 + 16 * len(sizes)
for size, data in zip(sizes, images):
    out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
open("ui/icons/tarvok.ico", "wb").write(out + b"".join(images))
PY
