#!/usr/bin/env bash
# Installs a build into a temporary root as the Debian package does (under /usr,
# stripped) and checks what a user gets: exactly the expected files, icons of every
# size with transparency, a valid desktop entry and AppStream file, man pages in
# English and Chinese that render without warnings, and programs that answer --help
# and --version, and say why, with no display or a wrong option (the window program
# in English too).
#   tests/packaging.sh <build folder> <version>
set -euo pipefail
build=$1
version=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
usr=$root/usr
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

DESTDIR=$root cmake --install "$build" --prefix /usr --strip >/dev/null

sizes=(16 24 32 48 64 128 256)
programs=(tarvok tarvok-sim tarvokctl)
expected=(share/applications/tarvok.desktop share/metainfo/org.tarvok.Tarvok.metainfo.xml
    share/icons/hicolor/scalable/apps/tarvok.svg
    share/doc/tarvok/copyright share/doc/tarvok/LICENSE share/doc/tarvok/OFL.txt
    share/doc/tarvok/changelog.Debian.gz share/lintian/overrides/tarvok)
for program in "${programs[@]}"; do
    expected+=("bin/$program" "share/man/man1/$program.1.gz" "share/man/zh_CN/man1/$program.1.gz")
done
for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/tarvok.png")
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$usr" && find . ! -type d | sed 's|^\./||' | sort) ||
    fail "installed files differ from the expected list (< expected, > installed)"

for size in "${sizes[@]}"; do
    png=$usr/share/icons/hicolor/${size}x${size}/apps/tarvok.png
    # The PNG header: width and height (4 bytes each), bit depth, colour type (6 = RGBA).
    read -r -a header < <(od -An -tu1 -j16 -N10 "$png")
    [[ $((header[2] * 256 + header[3])) == "$size" && $((header[6] * 256 + header[7])) == "$size" ]] ||
        fail "$png is not ${size}x${size}"
    [[ ${header[9]} == 6 ]] || fail "$png has no alpha channel (colour type ${header[9]})"
done

for program in "${programs[@]}"; do
    ! readelf -S "$usr/bin/$program" | grep -qE '\.(symtab|debug_info)' || fail "$program is not stripped"
    for page in "$usr"/share/man/{,zh_CN/}man1/"$program".1.gz; do
        warnings=$(zcat "$page" | LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z 2>&1)
        [[ -z $warnings ]] || fail "$page: $warnings"
        [[ $(lexgrog "$page" 2>&1) == *": \"$program - "* ]] || fail "$page: no whatis line"
    done
    out=$("$usr/bin/$program" --version)
    [[ $out == *"$version"* ]] || fail "$program --version said '$out', not $version"
    "$usr/bin/$program" --help >/dev/null || fail "$program --help failed"
done

out=$(desktop-file-validate "$usr/share/applications/tarvok.desktop" 2>&1) && [[ -z $out ]] ||
    fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$usr/share/metainfo/org.tarvok.Tarvok.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate: $(appstreamcli validate --no-net "$usr/share/metainfo/"*.xml)"

status=0
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/tarvok" 2>&1 >/dev/null) || status=$?
[[ $status == 1 && $err == *DISPLAY* && $(wc -l <<<"$err") == 1 ]] ||
    fail "tarvok without a display: exit $status, said '$err'"
status=0
err=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/tarvok" --bogus 2>&1 >/dev/null) || status=$?
[[ $status == 64 && $err == *--bogus* && $(wc -l <<<"$err") == 1 ]] ||
    fail "tarvok --bogus without a display: exit $status, said '$err'"
[[ $("$usr/bin/tarvok" --help) == *--version* ]] || fail "tarvok --help does not name --version"
# In English no Chinese, in what the window program says before any window.
english=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LANGUAGE LC_ALL=en_US.UTF-8)
said=$("${english[@]}" "$usr/bin/tarvok" --help)$("${english[@]}" "$usr/bin/tarvok" 2>&1) || true
[[ $said == "Usage: tarvok"*"Cannot open the Tarvok window: there is no display"* ]] ||
    fail "tarvok in English said '$said'"
! grep -qP '[\x{3000}-\x{9FFF}\x{FF00}-\x{FFEF}]' <<<"$said" || fail "tarvok in English said Chinese: $said"
echo "installed tree as packaged: ${#expected[@]} files checked"
