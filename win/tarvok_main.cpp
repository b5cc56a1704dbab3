// tarvok.exe: the window on Windows. One thread: the loop waits for window messages
// and for the COM port's reads and writes at once, so a reply is handled between
// other handlers, never in the middle of one.
#include <windows.h>

#include <commctrl.h>

#include <array>

#include "win/line_loop.h"
#include "win/main_window.h"

namespace {

// Runs until the window has closed; the exit code of WM_QUIT.
int run(tarvok::win::MainWindow& window) {
    for (;;) {
        const auto handles = window.wait_handles();
        const auto count = static_cast<DWORD>(handles.size());
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(count, handles.data(), tarvok::win::wait_ms(window.port()),
                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        // A handle, or the port's time to look at its device; not for messages alone.
        if (woke != WAIT_OBJECT_0 + count) {
            window.service_port();
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            if (!window.pre_translate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // The manifest asks for per-monitor DPI awareness; this is for a start without it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    tarvok::win::MainWindow::register_classes(instance);
    tarvok::win::MainWindow window(instance);
    if (window.hwnd() == nullptr) {
        return 1;
    }
    ShowWindow(window.hwnd(), show);
    SetFocus(window.control(tarvok::form::Id::chuankou_num));
    return run(window);
}
