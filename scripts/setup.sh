#!/usr/bin/env bash
# Installs the Debian packages Tarvok needs that this machine lacks.
# Usage: scripts/setup.sh [run|test|package|windows|font]   (test adds what the test suite
# needs, package what scripts/package.sh needs and lintian to check it, windows what
# scripts/package-windows.sh needs, font what rebuilding the font subset needs)
set -euo pipefail

# qt6-l10n-tools: lrelease builds the window's English into the program (lupdate,
# scripts/translations.sh, keeps its sources up to date).
packages=(cmake make g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev qt6-translations-l10n
    qt6-l10n-tools)
if [[ "${1:-run}" == test ]]; then
    packages+=(clang-14 libclang-rt-14-dev locales desktop-file-utils appstream groff-base man-db)
    # The Windows programs: cross-built, then run under Wine on a virtual display.
    packages+=(g++-mingw-w64-x86-64-posix wine wine64 xvfb)
fi
case "${1:-run}" in
package) packages+=(dpkg-dev lintian) ;;
windows) packages+=(g++-mingw-w64-x86-64-posix nsis zip) ;;
font) packages+=(fonts-noto-cjk python3-fonttools) ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "正在安装缺少的软件包: ${missing[*]}"
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
fi
# The tests also run in the locales our users run: Chinese, and English for the
# English interface.
if [[ "${1:-run}" == test ]]; then
    for locale in zh_CN en_US; do
        if ! locale -a 2>/dev/null | grep -qi "^${locale}\.utf-\?8\$"; then
            echo "正在生成 ${locale}.UTF-8 区域设置"
            "${sudo[@]}" localedef -i "$locale" -c -f UTF-8 "${locale}.UTF-8"
        fi
    done
fi
