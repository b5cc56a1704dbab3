#!/usr/bin/env bash
# Builds the Debian package build-package/tarvok_<version>_amd64.deb with CPack: a
# Release build, binaries stripped, dependencies found by dpkg-shlibdeps plus Qt's
# translations, which Qt loads at run time (see cmake/install.cmake). Install it with
#   sudo apt-get install ./build-package/tarvok_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh package
dir=build-package
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" >/dev/null
rm -f "$dir"/tarvok_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(echo "$dir"/tarvok_*_amd64.deb)
dpkg-deb --field "$deb" Package Version Architecture Depends
echo "$deb"
