#!/usr/bin/env bash
# Builds the libFuzzer targets (clang-14, into build-fuzz/) and fuzzes.
#   scripts/fuzz.sh <target> [seconds]   one target, default 600 s
#   scripts/fuzz.sh all [seconds]        every target at once, default 20 s
#   scripts/fuzz.sh build                every target built, none run
# Targets: number_text frame_reader plan exchange. Seeds come from
# fuzz/corpus/<target>/ (never written to); what the fuzzer learns goes to
# build-fuzz/corpus/<target>/, a crashing input to build-fuzz/crashes/<target>/.
# Exits non-zero when any target finds a fault.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(number_text frame_reader plan exchange)
which=${1:?"usage: scripts/fuzz.sh <${targets[*]// /|}|all> [seconds]"}
if [[ "$which" == all || "$which" == build ]]; then
    seconds=${2:-20}
    selected=("${targets[@]}")
else
    seconds=${2:-600}
    [[ " ${targets[*]} " == *" $which "* ]] || { echo "unknown target: $which" >&2; exit 2; }
    selected=("$which")
fi

cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${selected[@]}"
[[ "$which" != build ]] || exit 0

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:print_stacktrace=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0

# One target; its log goes to build-fuzz/<target>.log, its last lines to the terminal.
fuzz_one() {
    local target=$1
    local work=build-fuzz/corpus/$target crashes=build-fuzz/crashes/$target
    mkdir -p "$work" "$crashes"
    local status=0
    "build-fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="$crashes/" -print_final_stats=1 \
        "$work" "fuzz/corpus/$target" >"build-fuzz/$target.log" 2>&1 || status=$?
    local runs
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "build-fuzz/$target.log" | grep -o '[0-9]*$' || true)
    if [[ $status -ne 0 ]]; then
        echo "FUZZ FAIL  $target (exit $status); log: build-fuzz/$target.log" >&2
        tail -n 40 "build-fuzz/$target.log" >&2
        return 1
    fi
    echo "fuzz ok    $target: ${runs:-?} runs in ${seconds} s"
}

# All at once: the targets are small, and their fuzzing time is wall time.
failed=0
pids=()
for target in "${selected[@]}"; do
    fuzz_one "$target" &
    pids+=($!)
    if [[ ${#pids[@]} -ge ${#targets[@]} ]]; then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
done
exit $failed
