// Ctrl-C and Ctrl-Break at a console: the first press asks the work to stop (the
// setting in flight finishes, the rest is not sent), the second ends the program at
// once. Windows calls the handler on a thread of its own, so it only sets a flag
// and an event that the wait loop watches. One at a time per process.
#pragma once

#include <windows.h>

#include <atomic>

namespace tarvok::win {

class ConsoleStop {
public:
    // Exit code of the second press: 128 + SIGINT, as on Linux.
    static constexpr UINT kExitAtOnce = 130;

    ConsoleStop();
    ~ConsoleStop();
    ConsoleStop(const ConsoleStop&) = delete;
    ConsoleStop& operator=(const ConsoleStop&) = delete;

    bool requested() const { return requested_.load(); }
    // Signalled at the first press, for a wait loop.
    HANDLE event() const { return event_; }

private:
    static BOOL WINAPI handler(DWORD type);

    HANDLE event_;
    std::atomic<bool> requested_{false};
};

}  // namespace tarvok::win
