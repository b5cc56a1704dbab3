#!/usr/bin/env bash
# Runs a test on copies of its programs inside a new folder of mode 0700, as a clone
# under `mktemp -d` or in root's home holds them: nothing may depend on another user
# reaching the build.
#   tests/in_private_folder.sh <runner> <program> [helper programs...]
set -euo pipefail
private=$(mktemp -d)
trap 'rm -rf "$private"' EXIT
chmod 0700 "$private"
copies=()
for file in "${@:2}"; do
    cp "$file" "$private/"
    copies+=("$private/$(basename "$file")")
done
"$1" "${copies[@]}"
