#include "win/result_windows.h"

#include <vector>

#include "win/controls.h"
#include "win/layout.h"
#include "win/text.h"

namespace tarvok::win {

namespace {

constexpr const wchar_t* kResultClass = L"TarvokResult";
constexpr const wchar_t* kNoticeClass = L"TarvokNotice";
constexpr int kMessageId = 101;

void register_window_class(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = proc;
    c.hInstance = instance;
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = name;
    RegisterClassExW(&c);
}

HWND make_label(HWND window, std::string_view text, DWORD style) {
    return CreateWindowExW(0, L"STATIC", wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                           0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMessageId)),
                           GetModuleHandleW(nullptr), nullptr);
}

void place_item(HWND item, const form::Item& design, UINT dpi, Fonts& fonts) {
    SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.song(design.points, false, dpi)),
                 TRUE);
    const RECT at = item_rect(design.at, dpi);
    SetWindowPos(item, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void ResultWindows::register_class(HINSTANCE instance) {
    register_window_class(instance, kResultClass, &ResultWindows::proc);
    register_notice_class(instance);
}

void ResultWindows::show(Slot& slot) {
    if (slot.hwnd == nullptr) {
        CreateWindowExW(0, kResultClass, wide(slot.design->window.title).c_str(),
                        window_style(slot.design->window), CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr),
                        &slot);
    }
    // Shown again while up, it comes to the front; never a second copy.
    ShowWindow(slot.hwnd, SW_SHOW);
    SetForegroundWindow(slot.hwnd);
    SetFocus(GetDlgItem(slot.hwnd, kOkId));
}

void ResultWindows::dispose() {
    for (const Slot* slot : {&success_, &failure_}) {
        if (slot->hwnd != nullptr) {
            DestroyWindow(slot->hwnd);
        }
    }
}

LRESULT CALLBACK ResultWindows::proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    auto* data = reinterpret_cast<Slot*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_CREATE: {
        data = static_cast<Slot*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        data->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
        const UINT dpi = GetDpiForWindow(hwnd);
        place_item(make_label(hwnd, data->design->message.text, SS_LEFT | SS_NOPREFIX),
                   data->design->message, dpi, *data->fonts);
        place_item(create_button(hwnd, data->design->ok.text, kOkId), data->design->ok, dpi,
                   *data->fonts);
        place_window(hwnd, data->design->window, dpi);
        return 0;
    }
    case WM_DPICHANGED: {
        const UINT dpi = HIWORD(w);
        place_item(GetDlgItem(hwnd, kMessageId), data->design->message, dpi, *data->fonts);
        place_item(GetDlgItem(hwnd, kOkId), data->design->ok, dpi, *data->fonts);
        const auto* r = reinterpret_cast<const RECT*>(l);
        SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(w) == kOkId) {
            ShowWindow(hwnd, SW_HIDE);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(w) != WA_INACTIVE) {
            SetFocus(GetDlgItem(hwnd, kOkId));
        }
        return 0;
    case WM_DESTROY:
        if (data != nullptr) {
            data->hwnd = nullptr;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        }
        return 0;
    default:
        return DefWindowProcW(hwnd, message, w, l);
    }
}

// ---- Notices ----------------------------------------------------------------------

namespace {

constexpr int kNoticeWidthTwips = 6000;
constexpr double kNoticePoints = 12;

LRESULT CALLBACK notice_proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(w) == kOkId) {
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(w) != WA_INACTIVE) {
            SetFocus(GetDlgItem(hwnd, kOkId));
        }
        return 0;
    default:
        return DefWindowProcW(hwnd, message, w, l);
    }
}

// The notices `owner` shows now.
std::vector<HWND> notices_of(HWND owner) {
    std::vector<HWND> found;
    for (HWND w = FindWindowExW(nullptr, nullptr, kNoticeClass, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, kNoticeClass, nullptr)) {
        if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) {
            found.push_back(w);
        }
    }
    return found;
}

}  // namespace

void register_notice_class(HINSTANCE instance) {
    register_window_class(instance, kNoticeClass, notice_proc);
}

void show_notice(HWND owner, const std::string& sentence, Fonts& fonts) {
    const std::wstring text = wide(sentence);
    for (HWND shown : notices_of(owner)) {
        if (text_of(GetDlgItem(shown, kMessageId)) == text) {
            SetForegroundWindow(shown);
            return;
        }
    }
    const UINT dpi = GetDpiForWindow(owner);
    HWND notice = CreateWindowExW(
        WS_EX_DLGMODALFRAME, kNoticeClass, L"提示", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
        CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND label = make_label(notice, sentence, SS_LEFT | SS_NOPREFIX);
    HFONT font = fonts.song(kNoticePoints, false, dpi);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // As tall as the sentence needs at a fixed width.
    const int margin = px(240, dpi);
    RECT box{0, 0, px(kNoticeWidthTwips, dpi), 0};
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, text.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, margin, margin, box.right, box.bottom, SWP_NOZORDER);
    HWND ok = create_button(notice, "确定", kOkId);
    SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const int ok_width = px(1200, dpi);
    const int ok_height = px(400, dpi);
    const int width = box.right + 2 * margin;
    SetWindowPos(ok, nullptr, (width - ok_width) / 2, box.bottom + 2 * margin, ok_width, ok_height,
                 SWP_NOZORDER);
    RECT client{0, 0, width, box.bottom + 3 * margin + ok_height};
    AdjustWindowRectExForDpi(&client, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE,
                             WS_EX_DLGMODALFRAME, dpi);
    RECT over{};
    GetWindowRect(owner, &over);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    SetWindowPos(notice, nullptr, (over.left + over.right - w) / 2,
                 (over.top + over.bottom - h) / 2, w, h, SWP_NOZORDER);
    ShowWindow(notice, SW_SHOW);
    SetFocus(ok);
}

}  // namespace tarvok::win
