// What the operator reads when a port fails: one sentence in Chinese that names the
// port and the device, shared by every program that opens one.
#pragma once

#include <QString>

#include "serial/serial_line.h"

namespace tarvok::serial {

QString port_number_invalid(const QString& text);
QString open_failed(int port, const SerialError& error);
QString port_lost(int port, const QString& device);

}  // namespace tarvok::serial
