#include "win/layout.h"

#include <algorithm>

namespace tarvok::win {

RECT item_rect(const form::Twips& at, UINT dpi) {
    const int left = px(at.left, dpi);
    const int top = px(at.top, dpi);
    return {left, top, left + px(at.width, dpi), top + px(at.height, dpi)};
}

RECT control_rect(const form::Control& control, UINT dpi) {
    RECT rect = item_rect(control.at, dpi);
    if (control.frame) {
        const RECT frame = item_rect(form::control(*control.frame).at, dpi);
        OffsetRect(&rect, frame.left, frame.top);
    }
    return rect;
}

DWORD window_style(const form::Window& window) {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (window.border == form::Border::sizable) {
        style |= WS_THICKFRAME;
    }
    if (window.minimize_box) {
        style |= WS_MINIMIZEBOX;
    }
    if (window.maximize_box) {
        style |= WS_MAXIMIZEBOX;
    }
    return style;
}

void place_window(HWND hwnd, const form::Window& window, UINT dpi) {
    RECT client = item_rect(window.client, dpi);
    if (window.placed) {
        const POINT centre{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const RECT& work = monitor.rcWork;
            const int width = client.right - client.left;
            const int height = client.bottom - client.top;
            const int left =
                std::max<int>(work.left, std::min<int>(client.left, work.right - width));
            const int top =
                std::max<int>(work.top, std::min<int>(client.top, work.bottom - height));
            client = {left, top, left + width, top + height};
        }
    }
    RECT outer = client;
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    AdjustWindowRectExForDpi(&outer, style, FALSE, ex_style, dpi);
    const UINT move = window.placed ? 0 : SWP_NOMOVE;
    SetWindowPos(hwnd, nullptr, outer.left, outer.top, outer.right - outer.left,
                 outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE | move);
}

}  // namespace tarvok::win
