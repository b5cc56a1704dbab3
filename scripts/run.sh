#!/usr/bin/env bash
# Installs what is missing, builds and starts Tarvok.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
scripts/build.sh build
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置），无法打开 Tarvok 窗口。请在桌面会话中运行。" >&2
    exit 1
fi
exec build/app/tarvok
