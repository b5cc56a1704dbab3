// What a serial device's descriptor is asked directly, below Qt: who may open it, its
// rate and parity, input parity checking, another program's lock on it.
#pragma once

#include <QString>

#include "protocol/request.h"

namespace tarvok::serial {

bool may_read_and_write(const QString& device);

// With parity on, the driver checks it on input too, as a UART does: Qt leaves input
// checking off. (A Linux pty also forgets the parity-enable bit but keeps this one,
// which is how the simulator tells even parity from none.)
void check_parity(int fd, protocol::Parity parity);

// Rate and parity set on the descriptor itself. Qt checks the parity-enable bit after
// setting it, and a Linux pty never keeps that bit, so Qt refuses a change of parity
// on an open pty that the pty in fact takes.
bool set_termios_line(int fd, const protocol::LineSetting& line);

// Another process's POSIX lock on the device; one of ours never counts.
bool locked_by_posix(int fd);

}  // namespace tarvok::serial
