// A COM port's line as Windows sets it, and what its refusals mean.
#pragma once

#include <windows.h>

#include "protocol/request.h"
#include "serial/serial_fault.h"

namespace tarvok::win {

// The rate and parity, 8 data bits, 1 stop bit, no handshake; false when the driver
// refused them.
bool apply_setting(HANDLE port, const protocol::LineSetting& setting);

// How Windows' error for a refused open reads as our fault: a port that is in use
// reports access denied (Windows does not say by whom).
serial::SerialFault open_fault(DWORD error);

}  // namespace tarvok::win
