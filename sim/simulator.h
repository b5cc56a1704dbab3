// The simulator's loop: the modules on their pty, registered under a port number,
// answering the wire first, then signals, the log and typed commands. Replies wait
// in a queue (wire_output.h), so nothing the host sends goes unread meanwhile.
//
// Output lines (stdout, never blocking: see log_output.h):
//   tarvok-sim port N /dev/pts/K                        first, for programs: never translated
//   已替换失效的端口链接 <link>（原指向 <device>，其模拟模块已退出）   (when so)
//   模拟模块已就绪：端口 N → /dev/pts/K（<groups>）     see groups_text in module_groups.h
//   故障模拟：<labels joined by ，>                       (only when any is set)
//   应答按线路计时：<what --pace waits>                    (only with --pace)
//   <log line from module_engine.h>[ · <fault label>]...[ · 校验位改为 P][ · 此后按 X 波特收发]
//     where a reply lost to --drop carries only " · 应答随机丢失（第 n 个应答）"
//   应答未能写出：线路 1000 ms 内没有腾出空间               (when the host stops reading)
//   <state text from module_engine.h>                   (on "s"/"状态" or SIGUSR1)
//   已丢弃 N 行日志                                      (when the reader fell behind)
//   模拟模块已停止，端口链接已移除：<link>
// Errors go to stderr.
#pragma once

#include "posix/signal_pipe.h"
#include "sim/cli_options.h"
#include "sim/log_output.h"
#include "sim/pty_line.h"

namespace tarvok::sim {

// Serves until a stop signal (stop_signals.h): 0 then, 1 when the pty fails.
int serve(const Options& options, const Pty& pty, const posix::SignalPipe& signals, LogOutput& log);

}  // namespace tarvok::sim
