// How a port number becomes a serial device.
//
// A link named comN in $XDG_CONFIG_HOME/tarvok/ports/ (default ~/.config/tarvok/ports/)
// names the device for port N; then the serial devices the system reports, in name
// order, take the numbers no link claims, from 1 upward. A device named by a link gets
// no second number. (On Windows port N is COMN: win/ knows that.)
//
// tarvok-sim keeps comN.owner beside each link it makes, locked for as long as it
// runs. A link whose owner file is there but not locked was left by a simulator that
// has exited; its pty number may belong to another program by now, so it is never
// opened.
#pragma once

#include <QList>
#include <QString>

#include <variant>

namespace tarvok::serial {

struct PortEntry {
    int number = 0;
    QString device;       // path or system name to open
    QString description;  // what the system says about it; empty if nothing
    bool from_link = false;
};

enum class ResolveError {
    no_such_port,
    not_char_device,
    simulator_exited,         // the link was left by a simulator that has exited
    ports_folder_unreadable,  // the links cannot be read, so no number is certain
};

struct ResolveFailure {
    ResolveError error;
    // The link target for not_char_device and simulator_exited, the folder for
    // ports_folder_unreadable, empty otherwise.
    QString device;
};

using Resolution = std::variant<PortEntry, ResolveFailure>;

// The folder holding the comN links: under $XDG_CONFIG_HOME when that is an absolute
// path (a relative one is ignored, as the simulator ignores it), else ~/.config.
QString ports_folder();

// The current table, read afresh at every call; empty when the ports folder exists
// but cannot be read.
QList<PortEntry> port_table();

// The device for port `number`; a link target must be a character device.
Resolution resolve_port(int number);

// One line per entry, "1 = /dev/ttyUSB0 (FT232R USB UART)"; a sentence saying so when
// the ports folder cannot be read.
QString port_table_text();

}  // namespace tarvok::serial
