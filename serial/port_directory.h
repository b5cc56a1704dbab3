// How a port number becomes a serial device.
//
// Windows: port N is COMN. Elsewhere: a link named comN in
// $XDG_CONFIG_HOME/tarvok/ports/ (default ~/.config/tarvok/ports/) names the device
// for port N; then the serial devices the system reports, in name order, take the
// numbers no link claims, from 1 upward. A device named by a link gets no second
// number.
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

enum class ResolveError { no_such_port, not_char_device };

struct ResolveFailure {
    ResolveError error;
    QString device;  // the link target for not_char_device, empty otherwise
};

using Resolution = std::variant<PortEntry, ResolveFailure>;

// The folder holding the comN links.
QString ports_folder();

// The current table, read afresh at every call.
QList<PortEntry> port_table();

// The device for port `number`; a link target must be a character device.
Resolution resolve_port(int number);

// One line per entry, "1 = /dev/ttyUSB0 (FT232R USB UART)".
QString port_table_text();

}  // namespace tarvok::serial
