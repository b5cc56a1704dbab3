#!/usr/bin/env bash
# Installs what is missing, builds and runs every check:
#   1. the test suite as built (build/);
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
#      leaks checked (build-asan/; the sanitizer options are set per test, see
#      tests/hardening_tests.cmake, suppressions in tests/lsan.supp);
#   3. 20 seconds of fuzzing per libFuzzer target (build-fuzz/, see scripts/fuzz.sh).
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
scripts/build.sh build-asan -DTARVOK_SANITIZE=ON
ctest --test-dir build-asan --output-on-failure -j 2

step "fuzzing, 20 s per target"
scripts/fuzz.sh all 20

step "all checks passed"
