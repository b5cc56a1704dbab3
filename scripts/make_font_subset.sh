#!/usr/bin/env bash
# Rebuilds the built-in face ui/fonts/TarvokSong-{Regular,Bold}.otf from Noto Serif CJK
# SC after a text with a new character was added (test_look names it). Commit the two
# files afterwards. Installs fonts-noto-cjk and python3-fonttools when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh font
/usr/bin/python3 scripts/font_subset.py
