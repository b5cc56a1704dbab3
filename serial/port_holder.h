// Who keeps a serial device, and what a lock file left behind tells, so that a busy
// port can be named by its holder: the kernel lists the locks on every file in
// /proc/locks and every process's open files under /proc/<pid>/fd, and programs that
// use lock files write their process number into LCK..<name>.
#pragma once

#include <QString>

#include <optional>

#include "serial/serial_fault.h"

namespace tarvok::serial {

// Another running process that keeps `device`: the one that holds a lock on the
// device itself, else the live process its lock file names, else one that merely has
// it open. Nothing when none tells.
std::optional<PortHolder> port_holder(const QString& device);

// The lock file serial programs keep for `device` where Qt looks for it: LCK..<name>
// in the first of Qt's lock folders that has one or that we may write to; empty when
// no folder will do.
QString lock_file_path(const QString& device);
// The same, when the file exists; else empty.
QString existing_lock_file(const QString& device);

// The process number on a lock file's first line; nothing when there is none.
std::optional<qint64> lock_file_pid(const QString& lock);

// Whether `lock` was left behind: the process it names has exited, or that process
// number now belongs to a program that does not have `device` open.
bool lock_left_behind(const QString& lock, const QString& device);

// The user a file belongs to: the name, or the number where the user has none.
QString file_owner(const QString& path);

}  // namespace tarvok::serial
