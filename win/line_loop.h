// Drives a COM port and its listener on this one thread: waits for the port's input,
// its write, the listener's alarm or a stop, and dispatches. For console programs;
// the window waits in its message loop instead.
#pragma once

#include <windows.h>

#include <functional>

#include "win/com_port.h"

namespace tarvok::win {

enum class LoopEnd {
    done,     // `done` said so
    stopped,  // the stop event was signalled (a console's Ctrl-C)
    closed,   // the port closed, lost or closed by the listener
};

// Runs until `done()` holds, `stop` (when given) is signalled, or the port closes.
LoopEnd run_line(ComPort& port, const std::function<bool()>& done, HANDLE stop = nullptr);

// How long until the port's service() is due, in whole milliseconds rounded up;
// INFINITE while it is closed.
DWORD wait_ms(const ComPort& port);

}  // namespace tarvok::win
