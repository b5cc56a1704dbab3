// Why a port could not be opened or stopped working, as facts: the fault, the device
// concerned, and what else names it. serial/port_messages.h puts it into words.
#pragma once

#include <QString>

#include <optional>

#include "serial/serial_fault.h"

namespace tarvok::serial {

struct SerialError {
    SerialFault fault;
    QString device;  // the device concerned, empty where none was found
    QString detail;  // the lock file for stale_lock;
                     // else the system's own words, for the rare fault with no name of ours
    std::optional<PortHolder> holder{};  // for busy, when the system tells who keeps the port
    QString lock_owner{};                // for stale_lock: the user the lock file belongs to
};

}  // namespace tarvok::serial
