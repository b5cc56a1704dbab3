// What the operator reads when a port fails, for the Qt programs: the sentences of
// serial/port_words.h over Qt's strings.
#pragma once

#include <QString>

#include "serial/serial_error.h"

namespace tarvok::serial {

// Typed text as a message quotes it: at most 40 characters, then "…", so a pasted
// page never makes a message taller than the screen.
QString quoted(const QString& typed);

QString port_number_invalid(const QString& text);
QString open_failed(int port, const SerialError& error);
QString port_lost(int port, const QString& device);
// For the port number's tooltip when the folder of port links cannot be read.
QString ports_folder_unreadable(const QString& folder);
// The line refused bytes handed to it while open.
QString write_failed(int port, const QString& device);
// The driver reported a fault on the open line while bytes came in.
QString read_failed(int port, const QString& device);

}  // namespace tarvok::serial
