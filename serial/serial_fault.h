// Why a port could not be opened or stopped working, as a code every platform's port
// reports, and the facts that go with it. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvok::serial {

enum class SerialFault {
    no_such_port,       // no device carries that port number
    not_serial_device,  // the port names a file, folder or device that is no serial line
    busy,               // another program holds the port
    stale_lock,         // a lock file left by a program that has exited, which we may not remove
    permission,         // the user may not open the device
    open_failed,        // any other refusal of the system
    lost,               // the device went away while open
    simulator_exited,   // the port's link was left by a tarvok-sim that has exited
    ports_folder_unreadable,  // the ports folder cannot be read, so no number is certain
};

// How the program named for a busy port keeps it. A lock names the holder for
// certain; a program that merely has the device open is named only when nobody holds
// a lock, since a port is often open in several programs at once (a simulator keeps
// its own end open all the time).
enum class HoldKind {
    lock,       // holds a lock on the device itself (flock or POSIX)
    lock_file,  // the live process that the port's lock file LCK..<name> names
    open_only,  // has the device open but holds no lock
};

// Another running program that keeps a busy port.
struct PortHolder {
    HoldKind kind = HoldKind::open_only;
    std::string program;  // "ModemManager", "picocom"
    std::int64_t pid = 0;
};

// A fault with its facts, in the words' terms (UTF-8).
struct FaultFacts {
    SerialFault fault = SerialFault::open_failed;
    std::string device;  // the device concerned, empty where none was found
    std::string detail;  // the lock file for stale_lock;
                         // else the system's own words, for the rare fault with no name of ours
    std::optional<PortHolder> holder;  // for busy, when the system tells who
    bool holder_untold = false;        // for busy: the system never tells (Windows)
    std::string lock_owner;            // for stale_lock: the user the lock file belongs to,
                                       // who (or root) alone may remove it
};

}  // namespace tarvok::serial
