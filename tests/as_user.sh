#!/usr/bin/env bash
# Runs a test program as an ordinary user when started by root: the kernel lets root
# past a tty's exclusive flag and a lock folder's sticky bit, which hides the faults
# an operator meets. Started by anyone else, it runs the program as it is.
#   tests/as_user.sh <program> [helper programs...]
# The clone may sit where that user cannot reach (mktemp -d, root's home), so the
# program and its helpers are copied into a folder the user owns and run from there;
# the program looks for its helpers beside itself. A sanitizer build's suppression
# file goes along too.
set -euo pipefail
if [[ $(id -u) -ne 0 ]]; then
    exec "$1"
fi
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
cp "$@" "$runtime/"
if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]+) ]]; then
    cp "${BASH_REMATCH[1]}" "$runtime/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$runtime/lsan.supp}
fi
chown -R nobody "$runtime"
cd "$runtime"
XDG_RUNTIME_DIR=$runtime HOME=$runtime setpriv --reuid=nobody --regid=nogroup --clear-groups \
    "$runtime/$(basename "$1")"
