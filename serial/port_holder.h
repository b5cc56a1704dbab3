// Which program holds a serial device, so that a busy port can be named by who
// keeps it: the kernel lists every process's open files under /proc/<pid>/fd, and
// programs that use lock files write their process number into LCK..<name>.
#pragma once

#include <QString>

#include <optional>

#include "serial/serial_fault.h"

namespace tarvok::serial {

// Another running process that has `device` open; when /proc hides it (another
// user's process), the live process named by the device's lock file. Nothing when
// neither tells.
std::optional<PortHolder> port_holder(const QString& device);

// The lock file serial programs keep for `device`, in the first of the folders Qt
// uses that has one; empty when none does.
QString existing_lock_file(const QString& device);

// The process number on a lock file's first line; nothing when there is none.
std::optional<qint64> lock_file_pid(const QString& lock);

}  // namespace tarvok::serial
