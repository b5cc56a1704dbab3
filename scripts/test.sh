#!/usr/bin/env bash
# Installs what is missing, builds and runs every check:
#   1. the test suite as built (build/);
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
#      leaks checked (build-asan/; the sanitizer options are set per test, see
#      tests/CMakeLists.txt, suppressions in tests/lsan.supp);
#   3. 20 seconds of fuzzing, every libFuzzer target at once (build-fuzz/, see
#      scripts/fuzz.sh);
#   4. the Windows programs, cross-built with mingw-w64 (build-windows/), under Wine
#      against the real simulator (CTest's test_windows, tests/windows/run.sh).
# A test suite mostly waits on its wires and timers: three tests run at once on two
# cores, the longest first, and the next step's build runs at
# the lowest priority in its idle time: the sanitizer build and the Windows cross-build
# beside the first suite (logs: build-asan/build.log, build-windows/build.log), the
# fuzzers and the Windows tests beside the second (logs: build-fuzz/run.log,
# build-windows/test.log).
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

step "test suite"
# Line tables (-g1) name every frame of a backtrace; full debug information would cost a
# quarter more compile time.
scripts/build.sh build "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
mkdir -p build-asan build-fuzz build-windows
# Line tables and -O1 are all a sanitizer's report needs, and build in two thirds
# of the time.
# The measurement programs are built once, in the first build: the sanitizers have
# nothing to find in them that the tests do not run.
nice -n 19 scripts/build.sh build-asan -DTARVOK_SANITIZE=ON -DTARVOK_BUILD_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" >build-asan/build.log 2>&1 &
asan_build=$!
# The toolchain counts when the folder is configured first, and only then.
CMAKE_TOOLCHAIN_FILE=$PWD/cmake/mingw-w64.cmake nice -n 19 scripts/build.sh build-windows \
    -DCMAKE_BUILD_TYPE=Release >build-windows/build.log 2>&1 &
windows_build=$!
ctest --test-dir build --output-on-failure -j 3 -E '^test_windows$' || failed=1

step "test suite under AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer"
finish "$asan_build" build-asan/build.log || exit 1
finish "$windows_build" build-windows/build.log || exit 1
nice -n 19 scripts/fuzz.sh all 20 >build-fuzz/run.log 2>&1 &
fuzz=$!
ctest --test-dir build --output-on-failure -R '^test_windows$' >build-windows/test.log 2>&1 &
windows_test=$!
ctest --test-dir build-asan --output-on-failure -j 3 || failed=1
finish "$windows_test" build-windows/test.log || true
grep -E '^(1/1 Test|test_line:|test_window:)' build-windows/test.log || true

step "fuzzing, 20 s, every target at once"
finish "$fuzz" build-fuzz/run.log || true
grep -E '^(fuzz ok|FUZZ FAIL)' build-fuzz/run.log || true
if [[ $failed -ne 0 ]]; then
    step "checks failed"
    exit 1
fi
step "all checks passed"
