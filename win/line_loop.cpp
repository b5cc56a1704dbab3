#include "win/line_loop.h"

#include <algorithm>
#include <array>

namespace tarvok::win {

DWORD wait_ms(const ComPort& port) {
    const auto at = port.due();
    if (!at) {
        return INFINITE;
    }
    const auto left = (*at - port.now()).count();
    if (left <= 0) {
        return 0;
    }
    // Never INFINITE by accident, and never early: rounded up.
    return static_cast<DWORD>(std::min<long long>((left + 999) / 1000, INFINITE - 1));
}

LoopEnd run_line(ComPort& port, const std::function<bool()>& done, HANDLE stop) {
    while (!done()) {
        if (!port.is_open()) {
            return LoopEnd::closed;
        }
        std::array<HANDLE, 3> handles{};
        const auto port_handles = port.wait_handles();
        std::copy(port_handles.begin(), port_handles.end(), handles.begin());
        DWORD count = static_cast<DWORD>(port_handles.size());
        if (stop != nullptr) {
            handles.at(count++) = stop;
        }
        const DWORD woke = WaitForMultipleObjects(count, handles.data(), FALSE, wait_ms(port));
        if (stop != nullptr && woke == WAIT_OBJECT_0 + count - 1) {
            return LoopEnd::stopped;
        }
        port.service();
    }
    return LoopEnd::done;
}

}  // namespace tarvok::win
