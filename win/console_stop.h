// Ctrl-C and Ctrl-Break at a console: the first press asks the work to stop (the
// setting in flight finishes, the rest is not sent), a second ends it at once.
// Windows calls the handler on a thread of its own, so it only counts the press and
// sets an event that the wait loop watches. One at a time per process.
#pragma once

#include <windows.h>

#include <atomic>

namespace tarvok::win {

class ConsoleStop {
public:
    // Exit code of a press the program does not take: 128 + SIGINT, as on Linux.
    static constexpr UINT kExitAtOnce = 130;

    // `taken`: how many presses the program handles itself, through the event; the
    // next one ends the process from the handler. One for a loop that only stops;
    // two for tarvokctl, which ends a second press's run itself (its summary and
    // exit code as on Linux) and is ended by a third should its loop not answer.
    explicit ConsoleStop(int taken = 1);
    ~ConsoleStop();
    ConsoleStop(const ConsoleStop&) = delete;
    ConsoleStop& operator=(const ConsoleStop&) = delete;

    int presses() const { return presses_.load(); }
    bool requested() const { return presses() > 0; }
    // Signalled at each press the program takes, until a wait takes it (auto-reset).
    HANDLE event() const { return event_; }

private:
    static BOOL WINAPI handler(DWORD type);

    HANDLE event_;
    int taken_;
    std::atomic<int> presses_{0};
};

}  // namespace tarvok::win
