#include "win/console_stop.h"

namespace tarvok::win {

namespace {

// The instance the handler reports to; Windows' handler takes no context.
std::atomic<ConsoleStop*> g_stop{nullptr};

}  // namespace

ConsoleStop::ConsoleStop(int taken)
    : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), taken_(taken) {
    g_stop.store(this);
    SetConsoleCtrlHandler(&ConsoleStop::handler, TRUE);
}

ConsoleStop::~ConsoleStop() {
    SetConsoleCtrlHandler(&ConsoleStop::handler, FALSE);
    g_stop.store(nullptr);
    CloseHandle(event_);
}

BOOL WINAPI ConsoleStop::handler(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) {
        return FALSE;  // closing the console or logging off: Windows' own handling
    }
    ConsoleStop* stop = g_stop.load();
    if (stop == nullptr) {
        return FALSE;
    }
    if (stop->presses_.fetch_add(1) >= stop->taken_) {
        ExitProcess(kExitAtOnce);
    }
    SetEvent(stop->event_);
    return TRUE;
}

}  // namespace tarvok::win
