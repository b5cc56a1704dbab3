#!/usr/bin/env bash
# Installs the Debian packages Tarvok needs that this machine lacks.
# Usage: scripts/setup.sh [run|test]   (test adds what the test suite needs)
set -euo pipefail

packages=(cmake make g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev fonts-noto-cjk)
if [[ "${1:-run}" == test ]]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
echo "正在安装缺少的软件包: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
