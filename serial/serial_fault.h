// Why a port could not be opened or stopped working, as a code every platform's port
// reports. Plain C++.
#pragma once

namespace tarvok::serial {

enum class SerialFault {
    bad_settings,       // the settings text is not "<baud>,<n|o|e>,8,1"
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

}  // namespace tarvok::serial
