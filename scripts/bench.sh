#!/usr/bin/env bash
# Builds the measurement programs (Release, into build-bench/) and prints a table:
# each of Tarvok's numbers beside a baseline measured in the same run (a minimal Qt
# program doing the same work, the bare pty, a minimal window, a wire-time bound).
#   scripts/bench.sh [round trips, default 1000] [start-ups, default 60] [MiB, default 16]
#                    [settings in tarvokctl's long plan, default 500]
set -euo pipefail
cd "$(dirname "$0")/.."

round_trips=${1:-1000}
start_ups=${2:-60}
mib=${3:-16}
plan_settings=${4:-500}

scripts/setup.sh run
# The measurements drive the programs through the testbed the tests use, which is
# configured with the tests; only the measurement programs are built.
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build build-bench -j "$(nproc)" --target bench_round_trip bench_receive bench_startup \
    bench_cli_plan bench_plan_one_module bench_batch_plan bench_scan >/dev/null

export QT_QPA_PLATFORM=offscreen
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime

results=$(
    build-bench/bench/bench_round_trip "$round_trips"
    build-bench/bench/bench_startup "$start_ups"
    build-bench/bench/bench_receive "$mib"
    build-bench/bench/bench_cli_plan "$plan_settings"
    build-bench/bench/bench_plan_one_module
    build-bench/bench/bench_batch_plan
    build-bench/bench/bench_scan
)

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo "Machine: $(nproc) cores, ${cpu}; Qt $(qtpaths6 --qt-version 2>/dev/null || echo 6); $(g++ --version | head -n1); load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Round trips: ${round_trips} per subject at 115200 baud; start-ups: ${start_ups} per program; ${mib} MiB of random bytes per receive round."
echo "tarvokctl: plans of 100 and ${plan_settings} settings at 115200 baud, 3 runs each; a plan of 100 at 9600 baud against tarvok-sim --pace; a plan of 32 settings to one module against tarvok-sim at 9600 and 115200 baud, 9 runs each, median; the same plan in the window's 批量配置 beside tarvokctl, 9 runs each per rate in three alternating blocks, median; scans of 256 addresses against tarvok-sim --pace."
echo "tarvok-sim on core 0, every subject and baseline on core 1."
echo
# Lines are "<measure>\t<unit>\t<subject>\t<value>\t<baseline subject>\t<baseline value>".
awk -F'\t' '
    BEGIN {
        print "| measure (unit) | Tarvok value (subject) | baseline value (subject) | ratio |"
        print "|---|---|---|---|"
    }
    NF >= 4 {
        if ($5 != "") {
            ratio = $6 != 0 ? sprintf("%.2f", $4 / $6) : ""
            printf "| %s (%s) | %.4g (%s) | %.4g (%s) | %s |\n", $1, $2, $4, $3, $6, $5, ratio
        } else {
            printf "| %s (%s) | %.4g (%s) | | |\n", $1, $2, $4, $3
        }
    }' <<<"$results"
