// The window procedure, and the class, of a window that belongs to one object: the
// object comes with CreateWindowExW's last argument, keeps the window's handle in
// `hwnd_` and takes every message in `handle`; a message before it arrives, or after
// it let go, gets the default.
#pragma once

#include <windows.h>

namespace tarvok::win {

// The program's icon in its resources (tarvok.rc).
inline constexpr int kIconResource = 1;

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

// Registers the window class `name` for windows of Owner: the program's icon, the arrow, the dialog
// colour behind the controls.
template <typename Owner>
void register_owned_class(HINSTANCE instance, const wchar_t* name) {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = &owned_window_proc<Owner>;
    c.hInstance = instance;
    c.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = name;
    RegisterClassExW(&c);
}

}  // namespace tarvok::win
