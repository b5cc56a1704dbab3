#!/usr/bin/env bash
# Fails while a translation source is not finished: a text the code translates that the
# .ts lacks or holds in another form (scripts/translations.sh would change the file), a
# message left unfinished, empty, vanished or obsolete, or one lrelease does not take.
#   tests/translations.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lrelease=$(command -v lrelease || echo /usr/lib/qt6/bin/lrelease)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}

for ts in "$root"/ui/translations/*.ts; do
    name=$(basename "$ts")
    cp "$ts" "$work/$name"
    "$root/scripts/translations.sh" "$work/$name" 2>"$work/lupdate.log" ||
        fail "$name: lupdate failed: $(cat "$work/lupdate.log")"
    [[ ! -s $work/lupdate.log ]] || fail "$name: lupdate warns: $(cat "$work/lupdate.log")"
    diff -u "$ts" "$work/$name" >"$work/diff" ||
        fail "$name differs from what scripts/translations.sh makes of the code (run it):
$(head -40 "$work/diff")"
    grep -n 'type="\(unfinished\|vanished\|obsolete\)"' "$ts" &&
        fail "$name has messages left unfinished, vanished or obsolete (above)"
    grep -n '<translation></translation>\|<translation/>\|<numerusform></numerusform>' "$ts" &&
        fail "$name has empty translations (above)"
    out=$("$lrelease" "$ts" -qm "$work/out.qm" 2>&1)
    messages=$(grep -c '<message' "$ts")
    [[ $out == *"Generated $messages translation(s) ($messages finished and 0 unfinished)"* &&
        $out != *Ignored* ]] || fail "$name: lrelease took not all $messages messages: $out"
done
exit $status
