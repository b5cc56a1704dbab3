// The window procedure of a window that belongs to one object: the object comes with
// CreateWindowExW's last argument, keeps the window's handle in `hwnd_` and takes every
// message in `handle`; a message before it arrives, or after it let go, gets the default.
#pragma once

#include <windows.h>

namespace tarvok::win {

template <typename Owner>
LRESULT CALLBACK owned_window_proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        owner->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return owner != nullptr ? owner->handle(message, w, l) : DefWindowProcW(hwnd, message, w, l);
}

}  // namespace tarvok::win
