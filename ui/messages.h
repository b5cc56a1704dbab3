// What the operator reads when something fails: one sentence in Chinese that names
// the port or the address concerned.
#pragma once

#include <QString>

#include "serial/serial_line.h"

namespace tarvok::ui {

QString port_number_invalid(const QString& text);
QString open_failed(int port, const serial::SerialError& error);
QString port_lost(int port, const QString& device);
QString address_invalid(const QString& text);

}  // namespace tarvok::ui
