#!/usr/bin/env bash
# Builds the Debian package from a build with CPack, as scripts/package.sh does, and
# has lintian check it at its default level: no error and no warning may remain.
# Skipped (exit 77) where lintian is not installed; scripts/setup.sh package brings it.
#   tests/lintian.sh <build folder>
set -euo pipefail
build=$1
if ! command -v lintian >/dev/null; then
    echo "lintian is not installed (scripts/setup.sh package installs it)"
    exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(echo "$out"/tarvok_*_amd64.deb)
lintian --fail-on error,warning "$deb"
echo "lintian: $(basename "$deb") has no error or warning"
