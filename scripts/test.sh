#!/usr/bin/env bash
# Installs what is missing, builds and runs every check:
#   1. the test suite as built (build/);
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
#      leaks checked (build-asan/; the sanitizer options are set per test, see
#      tests/CMakeLists.txt, suppressions in tests/lsan.supp);
#   3. 20 seconds of fuzzing, every libFuzzer target at once (build-fuzz/, see
#      scripts/fuzz.sh), beside the sanitizer suite: that suite mostly waits on its
#      wires and timers, so the fuzzers build and run at the lowest priority in its
#      idle time (log: build-fuzz/run.log).
# Any failure, sanitizer report or fuzzer finding fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
export QT_QPA_PLATFORM=offscreen

step() { printf '\n== %s (%ds so far)\n' "$1" "$SECONDS"; }

step "test suite"
scripts/build.sh build
ctest --test-dir build --output-on-failure -j 2

step "test suite under AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer"
# Line tables and -O1 are all a sanitizer's report needs, and build in two thirds
# of the time.
scripts/build.sh build-asan -DTARVOK_SANITIZE=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1"
mkdir -p build-fuzz
nice -n 19 scripts/fuzz.sh all 20 >build-fuzz/run.log 2>&1 &
fuzz=$!
suite=0
ctest --test-dir build-asan --output-on-failure -j 2 || suite=$?

step "fuzzing, 20 s, every target at once"
fuzzed=0
wait "$fuzz" || fuzzed=$?
tail -n 60 build-fuzz/run.log
if [[ $suite -ne 0 || $fuzzed -ne 0 ]]; then
    exit 1
fi

step "all checks passed"
