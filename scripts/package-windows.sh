#!/usr/bin/env bash
# Builds the Windows release, cross-compiled on Debian with mingw-w64 (the window
# tarvok.exe and the command-line tool tarvokctl.exe, each static, no DLL beside them):
#   build-windows/tarvok-<version>-win64.zip        the program, licences and README
#   build-windows/tarvok-<version>-win64-setup.exe  an installer made with NSIS:
#       program folder, Start-menu entry, uninstaller, entry in Windows' program list
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh windows
dir=build-windows
version=$(sed -n 's/^project(tarvok VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=tarvok-$version-win64
# The toolchain counts when the folder is configured first, and only then.
CMAKE_TOOLCHAIN_FILE=$PWD/cmake/mingw-w64.cmake cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    >/dev/null
cmake --build "$dir" -j "$(nproc)" --target tarvok tarvokctl >/dev/null

stage=$dir/package/$name
rm -rf "$dir/package" "$dir/$name.zip" "$dir/$name-setup.exe"
mkdir -p "$stage"
for program in tarvok tarvokctl; do
    x86_64-w64-mingw32-strip -o "$stage/$program.exe" "$dir/win/$program.exe"
done
# Windows' Notepad wants CR LF.
for file in LICENSE:LICENSE.txt ui/fonts/OFL.txt:OFL.txt packaging/windows/README.txt:README.txt; do
    sed 's/$/\r/' "${file%%:*}" >"$stage/${file##*:}"
done
cp ui/icons/tarvok.ico "$dir/package/tarvok.ico"
(cd "$dir/package" && zip -qr "../$name.zip" "$name")
makensis -V2 -DVERSION="$version" -DSTAGE="$(pwd)/$stage" -DOUTFILE="$(pwd)/$dir/$name-setup.exe" \
    packaging/windows/tarvok.nsi
ls -l "$dir/$name.zip" "$dir/$name-setup.exe"
