#!/usr/bin/env bash
# The Windows programs' tests under Wine (CTest's test_windows): a private Wine
# prefix in the build folder, quiet and with no network, made once; COM1 to COM3
# are the real tarvok-sim (COM2's module answers every setting with failure);
# tarvok.exe runs on an Xvfb display of its own. Builds nothing: scripts/test.sh
# cross-builds the programs into build-windows/ first.
# Usage: tests/windows/run.sh <build-windows folder> <tarvok-sim>
set -euo pipefail
win=$(cd "$1" && pwd)
sim=$2
for needed in "$win/win/tarvok.exe" "$win/tests/windows/test_window.exe"; do
    if [[ ! -f $needed ]]; then
        echo "跳过：没有 $needed（scripts/test.sh 会先交叉编译 Windows 程序）"
        exit 77
    fi
done
for tool in wine wineserver Xvfb; do
    if ! command -v "$tool" >/dev/null; then
        echo "跳过：没有 $tool（scripts/setup.sh test 会安装）"
        exit 77
    fi
done

export WINEPREFIX="$win/wine-prefix" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: nothing here needs them, and there is no network to fetch them.
export WINEDLLOVERRIDES="mscoree=;mshtml="
# The simulators register their ports here, never in the user's own folder.
export XDG_CONFIG_HOME="$win/wine-ports"
run=$(mktemp -d "$win/wine-run.XXXXXX")
pids=()
sim_pid=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wineserver -k 2>/dev/null || true
    rm -rf "$run"
}
trap cleanup EXIT
# The prefix's first program picks its display for every later one: Xvfb's, from the start.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$run/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do
    [[ -s "$run/display" ]] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$run/display")"

ports="$XDG_CONFIG_HOME/tarvok/ports"
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    wineboot -i >/dev/null 2>&1
fi
# Kept running through the tests (one may already run, left by wineboot).
wineserver -p 2>/dev/null || true
# Wine's mount manager makes COMN in the prefix point where its registry says, each
# time the prefix's server starts: at our simulators' links.
for n in 1 2 3; do
    wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$ports/com$n" /f >/dev/null 2>&1
    ln -sfn "$ports/com$n" "$WINEPREFIX/dosdevices/com$n"
done
dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
dpi 96

for n in 1 2 3; do
    extra=()
    [[ $n == 2 ]] && extra=(--fail)
    # In Chinese, whatever the caller speaks: test_window reads its log's words.
    LC_ALL=C.UTF-8 LANGUAGE= "$sim" --port "$n" "${extra[@]}" >"$run/sim$n.log" 2>&1 </dev/null &
    pids+=($!)
    sim_pid[n]=$!
done
for n in 1 2 3; do
    for _ in $(seq 100); do
        [[ -e "$ports/com$n" ]] && break
        sleep 0.1
    done
done
# The line test asks for COM3's module to go away by leaving a flag file.
(
    while [[ ! -e "$run/stop-com3" ]]; do sleep 0.1; done
    kill "${sim_pid[3]}"
) &
pids+=($!)


windows_path() { printf 'Z:%s' "${1//\//\\}"; }
status=0
# On a terminal of its own, as a console program has, so that Ctrl-C can be sent.
script -qec "timeout 150 wine '$win/tests/windows/test_line.exe' '$(windows_path "$run")' >'$run/line.out' 2>&1" \
    /dev/null >/dev/null </dev/null || status=1
cat "$run/line.out"
timeout 150 wine "$win/tests/windows/test_window.exe" \
    "$(windows_path "$win/win/tarvok.exe")" "$(windows_path "$run")" || status=1
# The same window on a screen of 144 dots per inch: everything half as large again.
dpi 144
timeout 150 wine "$win/tests/windows/test_window.exe" \
    "$(windows_path "$win/win/tarvok.exe")" "$(windows_path "$run")" 144 || status=1
dpi 96
if [[ $status -ne 0 ]]; then
    tail -n 20 "$run"/sim*.log
fi
exit $status
