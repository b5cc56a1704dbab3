#!/usr/bin/env bash
# Installs what is missing, builds and runs every check:
#   1. the programs as shipped (build/): the installed files, the package, the
#      translation sources (test_packaging, test_lintian where lintian is installed,
#      test_translations);
#   2. the Windows programs, cross-built with mingw-w64 (build-windows/), under Wine
#      against the real simulator, tarvokctl.exe beside build/'s tarvokctl (CTest's
#      test_windows, tests/windows/run.sh);
#   3. the test suite, built with AddressSanitizer and UndefinedBehaviorSanitizer,
#      leaks checked (build-asan/; the sanitizer options are set per test, see
#      tests/CMakeLists.txt, suppressions in tests/lsan.supp);
#   4. 20 seconds of fuzzing, every libFuzzer target at once (build-fuzz/, see
#      scripts/fuzz.sh).
# Two cores, three builds: the shipped programs first, the Windows programs and then
# the sanitizer build in the idle time (logs: build-windows/build.log,
# build-asan/build.log); the Windows tests, which mostly wait on their wires, beside
# the sanitizer build, and the fuzzers beside the suite, which mostly waits too (logs:
# build-windows/test.log, build-fuzz/run.log).
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

step "the programs as shipped, and the Windows programs"
mkdir -p build build-asan build-fuzz build-windows
# The test programs run once, built with the sanitizers (below); this build is the
# programs as shipped, for the package's checks and for the Windows programs' twins
# (the measurement programs are scripts/bench.sh's to build). Line tables (-g1) name
# every frame of a backtrace; full debug information would cost a quarter more.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" >build/configure.log
# Line tables and -O1 are all a sanitizer's report needs, and build in two thirds
# of the time. The measurement programs have nothing in them the tests do not run.
nice -n 19 scripts/build.sh build-asan -DTARVOK_SANITIZE=ON -DTARVOK_BUILD_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" >build-asan/build.log 2>&1 &
asan_build=$!
# The toolchain counts when the folder is configured first, and only then.
CMAKE_TOOLCHAIN_FILE=$PWD/cmake/mingw-w64.cmake nice -n 10 scripts/build.sh build-windows \
    -DCMAKE_BUILD_TYPE=Release >build-windows/build.log 2>&1 &
windows_build=$!
cmake --build build -j "$(nproc)" --target tarvok tarvokctl tarvok-sim tarvok_compressed_files
ctest --test-dir build --output-on-failure -R '^(test_packaging|test_translations|test_lintian)$' ||
    failed=1
finish "$windows_build" build-windows/build.log || exit 1
ctest --test-dir build --output-on-failure -R '^test_windows$' >build-windows/test.log 2>&1 &
windows_test=$!

step "test suite under AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer"
finish "$asan_build" build-asan/build.log || exit 1
nice -n 19 scripts/fuzz.sh all 20 >build-fuzz/run.log 2>&1 &
fuzz=$!
ctest --test-dir build-asan --output-on-failure -j 3 -E '^(test_packaging|test_lintian)$' || failed=1
finish "$windows_test" build-windows/test.log || true
grep -E '^(1/1 Test|test_line:|test_window:|test_ctl:)' build-windows/test.log || true

step "fuzzing, 20 s, every target at once"
finish "$fuzz" build-fuzz/run.log || true
grep -E '^(fuzz ok|FUZZ FAIL)' build-fuzz/run.log || true
if [[ $failed -ne 0 ]]; then
    step "checks failed"
    exit 1
fi
step "all checks passed"
