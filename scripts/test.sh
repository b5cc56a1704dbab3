#!/usr/bin/env bash
# Installs what is missing, builds and runs every check:
#   1. the programs and the test suite, built with AddressSanitizer and
#      UndefinedBehaviorSanitizer, leaks checked (build-asan/; the sanitizer options are
#      set per test, see tests/CMakeLists.txt, suppressions in tests/lsan.supp), the
#      installed files and the translation sources among them (test_packaging,
#      test_translations);
#   2. the Windows programs, cross-built with mingw-w64 (build-windows/), under Wine
#      against the real simulator, tarvokctl.exe beside build-asan/'s tarvokctl (CTest's
#      test_windows, tests/windows/run.sh);
#   3. 20 seconds of fuzzing, every libFuzzer target at once (build-fuzz/, see
#      scripts/fuzz.sh);
#   4. where lintian is installed (scripts/setup.sh package), the package as it ships:
#      built from build/, without sanitizers, and checked by lintian (test_lintian).
# Two cores: the Windows and fuzzer builds run at lower priorities beside the sanitizer
# build; tests, which mostly wait on their wires, run beside builds at a higher one:
# the two longest and the Windows tests as soon as their programs are built, the
# fuzzers beside the rest of the suite (logs: build-asan/build.log, build-asan/long.log,
# build-windows/build.log, build-windows/test.log, build-fuzz/build.log,
# build-fuzz/run.log).
# Any failure, sanitizer report or fuzzer finding fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
export QT_QPA_PLATFORM=offscreen

step() { printf '\n== %s (%ds so far)\n' "$1" "$SECONDS"; }
failed=0
# Waits for a step running in the background; its log's end when it failed.
finish() {
    local pid=$1 log=$2
    if ! wait "$pid"; then
        tail -n 60 "$log"
        failed=1
        return 1
    fi
}

step "the programs and the tests under the sanitizers, the Windows programs, the fuzzers"
mkdir -p build-asan build-fuzz build-windows
# Three builds share the two cores from the start, the sanitizer build first; the
# tests that run beside them, which mostly wait on their wires, come before all.
# Line tables and -Og, GCC's level for checking and debugging, are all a sanitizer's
# report needs, and -Og builds in nine tenths of -O1's time; the
# measurement programs are scripts/bench.sh's to build.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVOK_SANITIZE=ON \
    -DTARVOK_BUILD_BENCH=OFF "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-Og -g1" >build-asan/configure.log
# The toolchain counts when the folder is configured first, and only then.
CMAKE_TOOLCHAIN_FILE=$PWD/cmake/mingw-w64.cmake nice -n 10 scripts/build.sh build-windows \
    -DCMAKE_BUILD_TYPE=Release >build-windows/build.log 2>&1 &
windows_build=$!
nice -n 15 scripts/fuzz.sh build >build-fuzz/build.log 2>&1 &
fuzz_build=$!
asan() { nice -n 5 cmake --build build-asan -j "$(nproc)" "$@" >>build-asan/build.log 2>&1; }
# The two longest tests, and the simulator and tarvokctl the Windows tests need,
# first: they run while the rest builds.
long='^(test_scan_window|test_cli)$'
asan --target tarvok-sim tarvokctl test_scan_window test_cli || {
    tail -n 60 build-asan/build.log
    exit 1
}
ctest --test-dir build-asan --output-on-failure -j 2 -R "$long" >build-asan/long.log 2>&1 &
long_tests=$!
asan &
asan_build=$!
windows_test=
if finish "$windows_build" build-windows/build.log; then
    ctest --test-dir build-asan --output-on-failure -R '^test_windows$' \
        >build-windows/test.log 2>&1 &
    windows_test=$!
fi
finish "$asan_build" build-asan/build.log || exit 1

step "test suite under AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer"
fuzz=
if finish "$fuzz_build" build-fuzz/build.log; then
    nice -n 19 scripts/fuzz.sh all 20 >build-fuzz/run.log 2>&1 &
    fuzz=$!
fi
ctest --test-dir build-asan --output-on-failure -j 3 \
    -E "^(test_windows|test_lintian|test_scan_window|test_cli)$" || failed=1
finish "$long_tests" build-asan/long.log || true
grep -E '^ *[0-9]+/[0-9]+ Test' build-asan/long.log || true
if [[ -n $windows_test ]]; then
    finish "$windows_test" build-windows/test.log || true
    grep -E '^(1/1 Test|test_line:|test_window:|test_ctl:)' build-windows/test.log || true
fi

if [[ -n $fuzz ]]; then
    step "fuzzing, 20 s, every target at once"
    finish "$fuzz" build-fuzz/run.log || true
    grep -E '^(fuzz ok|FUZZ FAIL)' build-fuzz/run.log || true
fi

# lintian judges the binaries that ship, so they are built for it, as they ship.
if command -v lintian >/dev/null; then
    step "the package as it ships, checked by lintian"
    mkdir -p build
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" >build/configure.log
    cmake --build build -j "$(nproc)" --target tarvok tarvokctl tarvok-sim \
        tarvok_compressed_files >build/build.log
    ctest --test-dir build --output-on-failure -R '^test_lintian$' || failed=1
fi
if [[ $failed -ne 0 ]]; then
    step "checks failed"
    exit 1
fi
step "all checks passed"
