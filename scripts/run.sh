#!/usr/bin/env bash
# Installs what is missing, builds the window and the simulator (nothing else) and
# starts Tarvok with a simulated relay module registered as the first free port
# number, port 1 when free (TARVOK_SIM_PORT=N forces N). The simulator's lines go to
# the terminal and to build/tarvok-sim-comN.log; it stops, and its port link goes,
# when the window closes or the script is interrupted. A second run.sh beside a
# running one gets a port, a log and a simulator of its own. Arguments go to the
# window: scripts/run.sh plan.csv opens that plan in 批量配置.
set -euo pipefail
# Messages in the programs' language: say "中文" "English".
source "$(dirname "$0")/language.sh"
# Files named relative to where the script was started from, before it moves.
window_args=()
for arg in "$@"; do
    if [[ -e $arg ]]; then
        window_args+=("$(realpath -- "$arg")")
    else
        window_args+=("$arg")
    fi
done
cd "$(dirname "$0")/.."
# Said before anything is installed or built, so a headless machine learns it at once.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    say "没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置），无法打开 Tarvok 窗口。请在桌面会话中运行。" \
        "No display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the Tarvok window cannot open. Run this in a desktop session." >&2
    exit 1
fi
port_option=auto
if [[ -n ${TARVOK_SIM_PORT:-} ]]; then
    if [[ ! $TARVOK_SIM_PORT =~ ^[0-9]+$ ]] || ((10#$TARVOK_SIM_PORT < 1 || 10#$TARVOK_SIM_PORT > 255)); then
        say "TARVOK_SIM_PORT 应是端口号（1 到 255 的整数），现在是 '$TARVOK_SIM_PORT'。" \
            "TARVOK_SIM_PORT should be a port number (a whole number from 1 to 255), not '$TARVOK_SIM_PORT'." >&2
        exit 1
    fi
    port_option=$((10#$TARVOK_SIM_PORT))
fi
scripts/setup.sh run

# Only what this script runs; tests and benchmarks are scripts/test.sh's business. One
# line while it builds; the build's own output goes to a log, named when it fails.
if [[ ! -x build/app/tarvok || ! -x build/sim/tarvok-sim ]]; then
    say "首次构建 Tarvok 窗口和模拟模块，大约需要一分钟（2 核），以后启动只需几秒……" \
        "Building the Tarvok window and the simulated module for the first time: about a minute (2 cores); later starts take seconds..."
else
    say "正在构建 Tarvok 窗口和模拟模块……" "Building the Tarvok window and the simulated module..."
fi
mkdir -p build
build_log=build/run-build.log
if ! { [[ -f build/CMakeCache.txt ]] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo; } >"$build_log" 2>&1 ||
    ! cmake --build build -j "$(nproc)" --target tarvok tarvok-sim >>"$build_log" 2>&1; then
    tail -n 15 "$build_log" >&2
    say "构建失败，Tarvok 不启动。完整的构建输出在 $build_log" \
        "The build failed, so Tarvok does not start. The whole build output is in $build_log" >&2
    exit 1
fi

# This run's own log until the simulator has its port; then the port's log, which no
# other running simulator can hold.
log=build/tarvok-sim-run$$.log
ready_wait_s=10

sim_pid=
app_pid=
tail_pid=
# shellcheck disable=SC2317  # called from the EXIT trap
stop_all() {
    # The window first, so it does not report the vanished port on its way out.
    if [[ -n $app_pid ]] && kill -0 "$app_pid" 2>/dev/null; then
        kill -TERM "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    if [[ -n $sim_pid ]] && kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    if [[ -n $tail_pid ]]; then
        wait "$tail_pid" 2>/dev/null || true
    fi
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Typed "s" lines reach the simulator only when this script owns the terminal: a
# background reader of the terminal would be stopped by the system and never end.
sim_input=/dev/null
if [[ -t 0 ]]; then
    read -r -a stat </proc/$$/stat
    if [[ ${stat[4]} == "${stat[7]}" ]]; then
        sim_input=/dev/stdin
    fi
fi

: >"$log"  # exists before the first look for the ready line
build/sim/tarvok-sim --port "$port_option" <"$sim_input" >"$log" 2>&1 &
sim_pid=$!
port=
for ((i = 0; i < ready_wait_s * 10; i++)); do
    # The simulator's line for programs: "tarvok-sim port N DEVICE" in every language.
    port=$(sed -n 's/^tarvok-sim port \([0-9]*\) .*/\1/p' "$log")
    if [[ -n $port ]]; then
        break
    fi
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        cat "$log" >&2
        rm -f "$log"
        say "模拟模块没有启动，Tarvok 不启动。不设 TARVOK_SIM_PORT 时会自动选空闲的端口号；也可以另指定一个，如 TARVOK_SIM_PORT=9 scripts/run.sh" \
            "The simulated module did not start, so Tarvok does not start. Without TARVOK_SIM_PORT a free port number is chosen; you can also name one, as in TARVOK_SIM_PORT=9 scripts/run.sh" >&2
        sim_pid=
        exit 1
    fi
    sleep 0.1
done
if [[ -z $port ]]; then
    cat "$log" >&2
    rm -f "$log"
    say "模拟模块 ${ready_wait_s} 秒内没有就绪，Tarvok 不启动。" \
        "The simulated module was not ready within ${ready_wait_s} seconds, so Tarvok does not start." >&2
    exit 1
fi
mv -f "$log" "build/tarvok-sim-com${port}.log"
log=build/tarvok-sim-com${port}.log

say "模拟模块登记为串口号 $port：在窗口的「串口号」里填 $port，点「打开串口」即可。模拟器日志：$log" \
    "The simulated module is port $port: enter $port as the window's Port and press Connect. The simulator's log: $log"
if [[ $sim_input == /dev/stdin ]]; then
    say "在这里输入 s 回车查看模块状态；关闭窗口或按 Ctrl-C 结束。" \
        "Type s and Enter here to see the module's state; close the window or press Ctrl-C to end."
else
    say "kill -USR1 $sim_pid 查看模块状态；关闭窗口结束。" \
        "kill -USR1 $sim_pid shows the module's state; close the window to end."
fi
tail -n +1 -s 0.2 --pid="$sim_pid" -f "$log" &
tail_pid=$!

# A child the script waits for, rather than a foreground command, so that a TERM or
# Ctrl-C is handled at once instead of after the window closes.
build/app/tarvok ${window_args[@]+"${window_args[@]}"} &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=
exit "$status"
