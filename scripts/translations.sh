#!/usr/bin/env bash
# Brings the window's translation sources up to date with the code: Qt's lupdate reads
# every text the window translates (tr(), QCoreApplication::translate, QT_TRANSLATE_NOOP
# in ui/ and app/, and the captions of the design's table in form/design.h, under the
# context "form") into ui/translations/tarvok_en.ts. A new text arrives unfinished;
# translate it (Qt Linguist, or the .ts by hand) and commit the file. The build compiles
# it with lrelease; tests/translations.sh fails while anything is left to do.
#   scripts/translations.sh [TS FILE]   (default: ui/translations/tarvok_en.ts)
# Needs qt6-l10n-tools (scripts/setup.sh installs it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
ts=$(realpath -m "${1:-$root/ui/translations/tarvok_en.ts}")
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
marks=$(mktemp -d)
trap 'rm -rf "$marks"' EXIT
# The design's table is plain C++ for every toolkit; its captions are the texts in
# double quotes that are not ASCII (comments left out), each marked for lupdate here.
sed 's|//.*||' "$root/form/design.h" | grep -oP '"[^"]*[^\x00-\x7F][^"]*"' | sort -u |
    sed 's/.*/QT_TRANSLATE_NOOP("form", &)/' >"$marks/design_captions.cpp"
cd "$root"
"$lupdate" -silent -I "$root" -no-obsolete -locations none -source-language zh_CN -target-language en \
    ui app "$marks/design_captions.cpp" -ts "$ts"
