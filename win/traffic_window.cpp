#include "win/traffic_window.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "bus/traffic_words.h"
#include "win/controls.h"
#include "win/handle.h"
#include "win/result_windows.h"
#include "win/text.h"

namespace tarvok::win {

namespace {

using bus::TrafficWord;

// Lines arrive up to once per eight bytes; the view takes them in batches so a flood
// costs one redraw per batch, not one per line.
constexpr UINT_PTR kFlushTimer = 1;
constexpr UINT kFlushMs = 50;
// While the save dialog runs its own loop, the port is served this often.
constexpr UINT_PTR kLineTimer = 2;
constexpr UINT kLineMs = 10;
// In pixels at 96 dots per inch, scaled with the monitor's: the size the Debian
// window opens at, and its buttons.
constexpr int kWidth = 720;
constexpr int kHeight = 420;
constexpr int kMargin = 9;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr double kViewPoints = 10.5;
constexpr double kButtonPoints = 10.5;

int scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

std::wstring said(TrafficWord id) { return wide(bus::word(id)); }

std::string line_of(const bus::TrafficEvent& event) {
    return bus::traffic_line(bus::traffic_words(event));
}

void put(HWND control, int x, int y, int width, int height, HFONT font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(control, nullptr, TRUE);
}

// Drops the oldest lines beyond what the record keeps; the caret goes to the end.
void keep_newest(HWND view) {
    const auto lines = static_cast<std::size_t>(SendMessageW(view, EM_GETLINECOUNT, 0, 0));
    if (lines > bus::TrafficRecord::kMostEvents) {
        const auto cut = SendMessageW(
            view, EM_LINEINDEX, static_cast<WPARAM>(lines - bus::TrafficRecord::kMostEvents), 0);
        SendMessageW(view, EM_SETSEL, 0, cut);
        SendMessageW(view, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    }
    const int end = GetWindowTextLengthW(view);
    SendMessageW(view, EM_SETSEL, static_cast<WPARAM>(end), end);
}

}  // namespace

void TrafficWindow::register_class(HINSTANCE instance) {
    register_owned_class<TrafficWindow>(instance, kTrafficClass);
}

TrafficWindow::TrafficWindow(bus::TrafficRecord& record, Fonts& fonts,
                             std::function<void()> keep_line)
    : record_(record), fonts_(fonts), keep_line_(std::move(keep_line)) {}

TrafficWindow::~TrafficWindow() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

void TrafficWindow::show(HWND owner) {
    if (hwnd_ == nullptr) {
        const UINT dpi = GetDpiForWindow(owner);
        RECT size{0, 0, scaled(kWidth, dpi), scaled(kHeight, dpi)};
        AdjustWindowRectExForDpi(&size, WS_OVERLAPPEDWINDOW, FALSE, 0, dpi);
        CreateWindowExW(0, kTrafficClass, said(TrafficWord::title).c_str(), WS_OVERLAPPEDWINDOW,
                        CW_USEDEFAULT, CW_USEDEFAULT, size.right - size.left,
                        size.bottom - size.top, owner, nullptr, GetModuleHandleW(nullptr), this);
        if (hwnd_ == nullptr) {
            return;
        }
        for (const bus::TrafficEvent& event : record_.events()) {
            pending_.push_back(line_of(event));
        }
        flush();
    }
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void TrafficWindow::recorded(const bus::TrafficEvent& event) {
    if (hwnd_ == nullptr) {
        return;
    }
    if (pending_.size() == bus::TrafficRecord::kMostEvents) {
        pending_.pop_front();  // would scroll out of the view unseen
    }
    pending_.push_back(line_of(event));
    if (!flush_due_) {
        flush_due_ = SetTimer(hwnd_, kFlushTimer, kFlushMs, nullptr) != 0;
    }
}

LRESULT TrafficWindow::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_CREATE:
        create_children();
        layout();
        return 0;
    case WM_SIZE:
        layout();
        return 0;
    case WM_DPICHANGED: {
        const auto* r = reinterpret_cast<const RECT*>(l);
        SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        layout();
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(w) == BN_CLICKED && LOWORD(w) == kTrafficClear) {
            clear_all();
        } else if (HIWORD(w) == BN_CLICKED && LOWORD(w) == kTrafficSave) {
            choose_file();
        }
        return 0;
    case WM_TIMER:
        if (w == kFlushTimer) {
            KillTimer(hwnd_, kFlushTimer);
            flush_due_ = false;
            flush();
        } else if (w == kLineTimer && keep_line_) {
            keep_line_();
        }
        return 0;
    case WM_DESTROY:
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        pending_.clear();
        flush_due_ = false;
        return 0;
    default:
        return DefWindowProcW(hwnd_, message, w, l);
    }
}

void TrafficWindow::create_children() {
    const auto child = [this](const wchar_t* kind, const std::wstring& text, DWORD style,
                              DWORD extra, int id) {
        return CreateWindowExW(extra, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                               hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    };
    HWND view = child(L"EDIT", {},
                      WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                          ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                      WS_EX_CLIENTEDGE, kTrafficView);
    SendMessageW(view, EM_SETLIMITTEXT, 0, 0);  // no limit but memory's
    child(L"STATIC", {}, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, kTrafficNote);
    create_button(hwnd_, bus::word(TrafficWord::clear), kTrafficClear);
    create_button(hwnd_, bus::word(TrafficWord::save), kTrafficSave);
}

void TrafficWindow::layout() {
    const UINT dpi = GetDpiForWindow(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int margin = scaled(kMargin, dpi);
    const int width = scaled(kButtonWidth, dpi);
    const int height = scaled(kButtonHeight, dpi);
    const int row = client.bottom - margin - height;
    const int save_at = client.right - margin - width;
    const int clear_at = save_at - margin - width;
    HFONT text = fonts_.song(kButtonPoints, false, dpi);
    put(GetDlgItem(hwnd_, kTrafficView), margin, margin, client.right - 2 * margin,
        row - 2 * margin, fonts_.song(kViewPoints, false, dpi));
    put(GetDlgItem(hwnd_, kTrafficNote), margin, row, clear_at - 2 * margin, height, text);
    put(GetDlgItem(hwnd_, kTrafficClear), clear_at, row, width, height, text);
    put(GetDlgItem(hwnd_, kTrafficSave), save_at, row, width, height, text);
}

void TrafficWindow::flush() {
    HWND view = GetDlgItem(hwnd_, kTrafficView);
    if (!pending_.empty()) {
        // A view emptied (or never filled) begins with when the record began.
        std::string text = GetWindowTextLengthW(view) == 0
                               ? bus::began_words(bus::stamp_text(record_.began()))
                               : std::string();
        for (const std::string& line : pending_) {
            text += "\r\n" + line;
        }
        pending_.clear();
        keep_newest(view);
        SendMessageW(view, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide(text).c_str()));
        keep_newest(view);
        SendMessageW(view, EM_SCROLLCARET, 0, 0);
    }
    SetWindowTextW(GetDlgItem(hwnd_, kTrafficNote),
                   wide(bus::dropped_words(record_.dropped())).c_str());
}

void TrafficWindow::clear_all() {
    record_.clear();
    pending_.clear();
    SetWindowTextW(GetDlgItem(hwnd_, kTrafficView), L"");
    flush();
}

void TrafficWindow::choose_file() {
    using namespace std::string_literals;
    const std::wstring filter =
        said(TrafficWord::text_files) + L" (*.txt)\0*.txt\0CSV (*.csv)\0*.csv\0"s;
    const std::wstring title = said(TrafficWord::save_title);
    const std::wstring name = said(TrafficWord::file_name);
    std::vector<wchar_t> file(32'768, L'\0');
    std::copy(name.begin(), name.end(), file.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd_;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    // Windows' own dialog runs its own loop until it is answered; the port is served
    // from a timer meanwhile, so replies and the watch's alarm are not held up.
    SetTimer(hwnd_, kLineTimer, kLineMs, nullptr);
    const bool chosen = GetSaveFileNameW(&dialog) != 0;
    if (hwnd_ == nullptr) {
        return;
    }
    KillTimer(hwnd_, kLineTimer);
    if (!chosen) {
        return;
    }
    std::wstring path(file.data());
    if (dialog.nFileExtension == 0 || dialog.nFileExtension >= path.size()) {
        path += dialog.nFilterIndex == 2 ? L".csv" : L".txt";
    }
    save_to(path);
}

void TrafficWindow::save_to(const std::wstring& path) {
    const std::string saved = bus::saved_traffic(record_.events(), bus::stamp_text(record_.began()),
                                                 bus::saved_as_csv(utf8(path)));
    DWORD error = 0;
    bool made = false;
    {
        const Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        made = static_cast<bool>(file);
        if (!file) {
            error = GetLastError();
        } else if (!WriteFile(file.get(), saved.data(), static_cast<DWORD>(saved.size()), &written,
                              nullptr) ||
                   written != saved.size()) {
            error = GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
        }
    }
    if (error == 0) {
        return;
    }
    if (made) {
        DeleteFileW(path.c_str());  // a part written is no copy of the record
    }
    const std::string why(bus::word(error == ERROR_ACCESS_DENIED ? TrafficWord::no_permission
                                                                 : TrafficWord::cannot_write));
    show_notice(hwnd_, words::fill(bus::word(TrafficWord::not_saved), {utf8(path), why}), fonts_);
}

}  // namespace tarvok::win
