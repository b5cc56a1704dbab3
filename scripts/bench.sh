#!/usr/bin/env bash
# Builds the measurement programs (Release, into build-bench/) and prints a table:
# each of Tarvok's numbers beside a baseline measured in the same run.
#   scripts/bench.sh [round trips, default 1000] [start-ups, default 30] [MiB, default 16]
#                    [settings in tarvokctl's long plan, default 1000]
set -euo pipefail
cd "$(dirname "$0")/.."

round_trips=${1:-1000}
start_ups=${2:-30}
mib=${3:-16}
plan_settings=${4:-1000}

scripts/setup.sh run
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench -j "$(nproc)" --target bench_round_trip bench_receive bench_startup \
    bench_cli_plan >/dev/null

export QT_QPA_PLATFORM=offscreen
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime

results=$(
    build-bench/bench/bench_round_trip "$round_trips"
    build-bench/bench/bench_startup "$start_ups"
    build-bench/bench/bench_receive "$mib"
    build-bench/bench/bench_cli_plan "$plan_settings"
)

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo "Machine: $(nproc) cores, ${cpu}; Qt $(qtpaths6 --qt-version 2>/dev/null || echo 6); $(g++ --version | head -n1)"
echo "Round trips: ${round_trips} per subject at 115200 baud; start-ups: ${start_ups} per program; ${mib} MiB of random bytes per receive round."
echo "tarvokctl: plans of 1, 100 and ${plan_settings} settings at 115200 baud, 5 runs each; a plan of 100 at 9600 baud against tarvok-sim --pace."
echo
# Lines are "<measure>\t<subject>\t<value>\t<unit>"; the first subject of a measure
# is Tarvok, a second one its baseline.
awk -F'\t' '
    $1 == "round trips" || $1 == "start-ups" || $1 == "plan settings" { next }
    {
        key = $1 " (" $4 ")"
        if (!(key in ours)) { order[++n] = key; ours[key] = $3; who[key] = $2 }
        else { base[key] = $3; basewho[key] = $2 }
    }
    END {
        print "| measure | Tarvok | baseline | Tarvok / baseline |"
        print "|---|---|---|---|"
        for (i = 1; i <= n; i++) {
            k = order[i]
            if (k in base) {
                printf "| %s | %.4g (%s) | %.4g (%s) | %.2f |\n", k, ours[k], who[k], base[k], basewho[k], ours[k] / base[k]
            } else {
                printf "| %s | %.4g (%s) | | |\n", k, ours[k], who[k]
            }
        }
    }' <<<"$results"
