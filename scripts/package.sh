#!/usr/bin/env bash
# Builds the Debian package build-package/tarvok_<version>-<revision>_amd64.deb with
# CPack: a Release build with Debian's hardening flags (fortified functions, read-only
# relocations bound at start, position-independent programs), binaries stripped,
# dependencies found by dpkg-shlibdeps plus Qt's translations, which Qt loads at run
# time (see cmake/install.cmake). lintian checks it when installed. Install it with
#   sudo apt-get install ./build-package/tarvok_<version>-<revision>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh package
dir=build-package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
    "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$dir" -j "$(nproc)" >/dev/null
rm -f "$dir"/tarvok_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(echo "$dir"/tarvok_*_amd64.deb)
dpkg-deb --field "$deb" Package Version Architecture Depends
lintian --fail-on error,warning "$deb"
echo "$deb"
