// The simulator's wire: a pseudo-terminal whose slave the host opens as its serial
// port, registered under a port number; the module reads and writes the master.
//
// Output lines (stdout, flushed one by one):
//   模拟模块已就绪：端口 N → /dev/pts/K（地址 A，B 波特）
//   故障模拟：<labels joined by ，>                       (only when any is set)
//   <log line from module_engine.h>[ · <fault label>]...[ · 此后按 X 波特收发]
//   <state text from module_engine.h>                   (on "s"/"状态" or SIGUSR1)
//   模拟模块已停止，端口链接已移除：<link>
// Errors go to stderr.
#pragma once

#include "sim/cli_options.h"

namespace tarvok::sim {

// Runs until SIGINT, SIGTERM or SIGHUP. 0 after such a stop, 1 when the pty or the
// port link cannot be set up or the pty fails.
int run_simulator(const Options& options);

}  // namespace tarvok::sim
