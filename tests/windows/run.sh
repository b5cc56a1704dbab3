#!/usr/bin/env bash
# The Windows programs' tests under Wine (CTest's test_windows): a private Wine
# prefix in the build folder, quiet and with no network, made once; COM1 to COM5
# are the real tarvok-sim (COM2's module answers every setting with failure, COM4
# is a bus of four modules, COM5's module answers 1.5 s late); tarvok.exe runs on
# an Xvfb display of its own. tarvokctl.exe runs the cases of ctl_cases.tsv that the
# Linux tarvokctl runs too, each against a twin of COM4's bus, and both must say,
# send and leave behind the same. Builds nothing: scripts/test.sh cross-builds the
# programs into build-windows/ first.
# Usage: tests/windows/run.sh <build-windows folder> <tarvok-sim> <tarvokctl>
set -euo pipefail
# A command that ends the script says which it was.
trap 'echo "run.sh: line $LINENO: $BASH_COMMAND failed" >&2' ERR
win=$(cd "$1" && pwd)
sim=$2
ctl=$3
here=$(cd "$(dirname "$0")" && pwd)
for needed in "$win/win/tarvok.exe" "$win/win/tarvokctl.exe" \
    "$win/tests/windows/test_window.exe" "$win/tests/windows/test_ctl.exe"; do
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
# Beside two builds Xvfb can take many seconds to start (its keymap is compiled).
for _ in $(seq 600); do
    [[ -s "$run/display" ]] && break
    sleep 0.1
done
if [[ ! -s "$run/display" ]]; then
    echo "Xvfb gave no display within 60 s"
    exit 1
fi
export DISPLAY=":$(cat "$run/display")"

ports="$XDG_CONFIG_HOME/tarvok/ports"
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    wineboot -i >/dev/null 2>&1
fi
# Kept running through the tests (one may already run, left by wineboot).
wineserver -p 2>/dev/null || true
# Wine's mount manager makes COMN in the prefix point where its registry says, each
# time the prefix's server starts: at our simulators' links.
# COM6 is a device the system refuses with "permission denied", which Wine hands on as
# Windows' access denied, its answer for a port another program holds (Wine itself
# lets a held port open twice): a file no one may write, or for root a read-only
# sysfs attribute. Where neither refuses so, there is no COM6 and test_ctl skips it.
# A registry value set, tried again while a session still starts under load.
registry() {
    for _ in 1 2 3 4 5; do
        wine reg add "$@" /f >/dev/null 2>&1 && return 0
        sleep 1
    done
    echo "wine reg add $* failed" >&2
    return 1
}
denied() { [[ $(LC_ALL=C bash -c ": <>'$1'" 2>&1) == *"Permission denied"* ]]; }
refused=$run/refused
: >"$refused"
chmod 000 "$refused"
denied "$refused" || refused=/sys/kernel/uevent_seqnum
denied "$refused" || refused=$ports/none
for n in 1 2 3 4 5 6; do
    device=$ports/com$n
    [[ $n == 6 ]] && device=$refused
    registry 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$device"
    ln -sfn "$device" "$WINEPREFIX/dosdevices/com$n"
done
dpi() {
    registry 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
}
dpi 96

bus=(--module 1-3 --module 7@19200/even)
options=("" --fail "" "${bus[*]}" "--delay 1500")
for n in 1 2 3 4 5; do
    # shellcheck disable=SC2086 # each entry is a list of options
    # In Chinese, whatever the caller speaks: test_window reads its log's words.
    LC_ALL=C.UTF-8 LANGUAGE= "$sim" --port "$n" ${options[n - 1]} >"$run/sim$n.log" 2>&1 </dev/null &
    pids+=($!)
    sim_pid[n]=$!
done
# COM4's twin, port 4 to the Linux tarvokctl.
linux_ports="$run/linux-ports"
XDG_CONFIG_HOME=$linux_ports "$sim" --port 4 "${bus[@]}" >"$run/twin.log" 2>&1 </dev/null &
pids+=($!)
twin_pid=$!
for link in "$ports"/com{1,2,3,4,5} "$linux_ports/tarvok/ports/com4"; do
    for _ in $(seq 100); do
        [[ -e $link ]] && break
        sleep 0.1
    done
done
# The mount manager lists a COM port in the system's port map only when its device is
# there as the session starts, and the registry edits above started one: a new session,
# now that every simulator's link is there.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p 2>/dev/null || true
# The line test asks for COM3's module to go away by leaving a flag file.
(
    while [[ ! -e "$run/stop-com3" ]]; do sleep 0.1; done
    kill "${sim_pid[3]}"
) &
pids+=($!)

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# Wine's display language follows the locale a program starts in: test_line.exe
# starts in Chinese where the system has that locale, test_ctl.exe in C.
zh=$(locale -a 2>/dev/null | grep -ixm1 'zh_CN.utf-\?8' || true)
status=0
# On a terminal of their own, as console programs have, so that Ctrl-C can be sent.
script -qec "LC_ALL=${zh:-C.UTF-8} timeout 150 wine '$win/tests/windows/test_line.exe' \
    '$(windows_path "$run")' $([[ -n $zh ]] && echo zh || echo en) >'$run/line.out' 2>&1" \
    /dev/null >/dev/null </dev/null || status=1
cat "$run/line.out"

# tarvokctl's cases, each tool in a folder of inputs of its own: the Linux tool's
# runs here, tarvokctl.exe's in test_ctl.exe, all in one Wine session.
inputs() {
    mkdir -p "$1"
    iconv -f UTF-8 -t GB18030 >"$1/柜三.csv" <<'PLAN'
柜 3 左门
地址,设置,通道,值,线路,备注
1,关联方式,第 3 路,自锁,,门边
2,power-on,1-4,上电记忆
7,mode,2,linked,19200/偶校验,在 19200 偶校验 上的模块
3,通讯参数,,19200 偶校验
9,mode,1,自锁
PLAN
    printf '%s\r\n' 'address,setting,arguments' $'# \x1a a Ctrl-Z' '1,power-on,1-3,on' \
        '7,mode,1,momentary,19200 even' >"$1/crlf.csv"
    printf '%s\n' 地址,设置,通道,值 1,mode,10,联动 2,mode,33,自锁 5,line,,12345 >"$1/bad.csv"
    printf '%s\n' 地址,设置,通道,值 1,mode,1,自锁 1,mode,2,自锁 1,mode,3,自锁 1,mode,4,自锁 \
        >"$1/four.csv"
}
inputs "$run/linux"
inputs "$run/windows"
while IFS=$'\t' read -r -a f; do
    [[ ${#f[@]} -lt 2 || ${f[0]} == \#* ]] && continue
    input=/dev/null
    [[ ${f[1]} != - ]] && input=${f[1]}
    code=0
    (cd "$run/linux" && XDG_CONFIG_HOME=$linux_ports "$ctl" "${f[@]:2}" <"$input" \
        >"${f[0]}.out" 2>"${f[0]}.err") || code=$?
    echo "$code" >"$run/linux/${f[0]}.code"
done <"$here/ctl_cases.tsv"
script -qec "LC_ALL=C.UTF-8 timeout 150 wine '$win/tests/windows/test_ctl.exe' \
    '$(windows_path "$win/win/tarvokctl.exe")' '$(windows_path "$here/ctl_cases.tsv")' \
    '$(windows_path "$run/windows")' '$(windows_path "$run/sim5.log")' en \
    $([[ -e $refused ]] && echo refused || echo none) >'$run/ctl.out' 2>&1" \
    /dev/null >/dev/null </dev/null || status=1
cat "$run/ctl.out"
# The same words, times, devices and delays aside; then the same frames on the twin
# buses and the same state left behind.
same() {
    sed -E -e 's/"milliseconds":[0-9.]+/"milliseconds":_/; s/（[0-9.]+ ms）/（_ ms）/' \
        -e 's/,(done|refused|no-reply|unconfirmed|not-sent),[0-9.]+,/,\1,_,/' \
        -e 's/[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}/TIME/g' \
        -e 's#/dev/pts/[0-9]+|COM4#DEVICE#g' "$1"
}
kill -USR1 "$twin_pid" "${sim_pid[4]}"
for log in "$run/twin.log" "$run/sim4.log"; do
    for _ in $(seq 100); do
        [[ $(grep -c '^状态 ' "$log") -ge 4 ]] && break
        sleep 0.1
    done
    sed "1,/→ \/dev\/pts\//d" "$log" >"$log.bus"  # from the line after "ready"
done
compared=0
for file in "$run"/linux/*.{code,out,err} "$run/linux/记录.csv" "$run/twin.log.bus"; do
    other=$run/windows/${file##*/}
    [[ $file == *.bus ]] && other=$run/sim4.log.bus
    if ! diff <(same "$file") <(same "$other") >"$run/diff" 2>&1; then
        echo "FAIL tarvokctl.exe and tarvokctl differ in ${file##*/}:"
        cat "$run/diff"
        status=1
    fi
    compared=$((compared + 1))
done
echo "tarvokctl.exe against tarvokctl: $compared files compared"

timeout 150 wine "$win/tests/windows/test_window.exe" \
    "$(windows_path "$win/win/tarvok.exe")" "$(windows_path "$run")" || status=1
# The same window on a screen of 144 dots per inch, on an English system: everything
# half as large again, and the design's words in its lists as beside them.
dpi 144
LC_ALL=en_US.UTF-8 LANGUAGE= timeout 150 wine "$win/tests/windows/test_window.exe" \
    "$(windows_path "$win/win/tarvok.exe")" "$(windows_path "$run")" 144 || status=1
dpi 96
if [[ $status -ne 0 ]]; then
    tail -n 20 "$run"/sim*.log "$run/twin.log"
fi
exit $status
