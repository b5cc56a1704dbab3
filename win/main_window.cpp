#include "win/main_window.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "win/controls.h"
#include "win/layout.h"
#include "win/port_list.h"
#include "win/text.h"

namespace tarvok::win {

namespace {

constexpr const wchar_t* kMainClass = L"TarvokMain";

bool is(HWND control, const wchar_t* window_class) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    return _wcsicmp(name, window_class) == 0;
}

}  // namespace

void MainWindow::register_classes(HINSTANCE instance) {
    register_owned_class<MainWindow>(instance, kMainClass);
    ResultWindows::register_class(instance);
    TrafficWindow::register_class(instance);
}

MainWindow::MainWindow(HINSTANCE instance)
    : instance_(instance),
      fonts_(instance),
      dialogs_(fonts_),
      traffic_window_(traffic_, fonts_, [this] { port_.service(); }) {
    port_.set_listener(this);
    traffic_.set_listener(
        [this](const bus::TrafficEvent& event) { traffic_window_.recorded(event); });
    CreateWindowExW(0, kMainClass, wide(form::kMainWindow.title).c_str(),
                    window_style(form::kMainWindow), CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, nullptr, nullptr, instance, this);
}

MainWindow::~MainWindow() {
    port_.set_listener(nullptr);
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

void MainWindow::create_controls() {
    // Made in tab order, which is the order Tab follows. Labels and frames take no
    // focus, so they go to the back, frames behind all: a list drawn over the end of
    // its label, controls over their frame, as the Linux window stacks them.
    std::array<const form::Control*, form::kMainControls.size()> by_tab{};
    std::transform(form::kMainControls.begin(), form::kMainControls.end(), by_tab.begin(),
                   [](const form::Control& c) { return &c; });
    std::sort(by_tab.begin(), by_tab.end(),
              [](const auto* a, const auto* b) { return a->tab < b->tab; });
    for (const form::Control* c : by_tab) {
        controls_.at(static_cast<std::size_t>(c->id)) = create_control(hwnd_, *c);
    }
    for (const form::Kind back : {form::Kind::label, form::Kind::frame}) {
        for (const form::Control& c : form::kMainControls) {
            if (c.kind == back) {
                SetWindowPos(control(c.id), HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
        }
    }
    // The port table is read each time the operator hovers over the port number.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                               nullptr, instance_, nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(control(form::Id::chuankou_num));
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
}

void MainWindow::layout(UINT dpi) {
    for (const form::Control& c : form::kMainControls) {
        place_control(control(c.id), c, dpi, fonts_);
    }
}

void MainWindow::init_lists() {
    for (const form::Control& c : form::kMainControls) {
        if (c.kind == form::Kind::list && c.fill == form::Fill::load) {
            fill_list(control(c.id), c.list);
        }
    }
    for (const form::Control& c : form::kMainControls) {
        if (c.kind == form::Kind::list) {
            SendMessageW(control(c.id), CB_SETCURSEL, static_cast<WPARAM>(c.selected), 0);
        }
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_CREATE: {
        create_controls();
        const UINT dpi = GetDpiForWindow(hwnd_);
        layout(dpi);
        init_lists();
        place_window(hwnd_, form::kMainWindow, dpi);
        return 0;
    }
    case WM_DPICHANGED: {
        layout(HIWORD(w));
        const auto* r = reinterpret_cast<const RECT*>(l);
        SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_COMMAND:
        command(LOWORD(w), HIWORD(w));
        return 0;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(l) == control(form::Id::VScroll1)) {
            arrows_changed(form::Id::add, form::Id::VScroll1);
        } else if (reinterpret_cast<HWND>(l) == control(form::Id::VScroll2)) {
            arrows_changed(form::Id::chuankou_num, form::Id::VScroll2);
        }
        return 0;
    case WM_NOTIFY: {
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(l);
        if (tip->hdr.code == TTN_GETDISPINFOW) {
            // Kept here: the tooltip reads it after we return.
            port_table_ = port_table_text(available_ports());
            tip->lpszText = port_table_.data();
        }
        return 0;
    }
    case WM_CLOSE:
        // The result windows have no owner; left alone, one would outlive the window.
        port_.close();
        dialogs_.dispose();
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        hwnd_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd_, message, w, l);
    }
}

void MainWindow::command(int id, int code) {
    using form::Id;
    const auto is_control = [id](Id which) { return id == control_id(which); };
    if (code == BN_CLICKED) {
        if (is_control(Id::open_comm)) {
            open_comm_Click();
        } else if (is_control(Id::Command1)) {
            Command1_Click();
        } else if (is_control(Id::Command2)) {
            Command2_Click();
        } else if (is_control(Id::Command3)) {
            Command3_Click();
        }
        return;
    }
    const bool add = is_control(Id::add);
    if (!add && !is_control(Id::chuankou_num)) {
        return;
    }
    const Id box = add ? Id::add : Id::chuankou_num;
    const Id arrows = add ? Id::VScroll1 : Id::VScroll2;
    if (code == EN_CHANGE) {
        text_changed(box, arrows);
    } else if (code == EN_KILLFOCUS) {
        finish_editing(box, arrows);
    }
}

bool MainWindow::pre_translate(MSG& message) {
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr) {
        return false;
    }
    const bool control_down = GetKeyState(VK_CONTROL) < 0;
    if (message.message == WM_KEYDOWN && root == hwnd_ &&
        (message.wParam == VK_F12 || (message.wParam == 'L' && control_down))) {
        open_traffic_window();
        return true;
    }
    if (message.message == WM_KEYDOWN) {
        HWND focus = GetFocus();
        // Return and keypad Enter press the focused button, as Space does, with no
        // default button; in a number box they finish the editing.
        if (message.wParam == VK_RETURN && is(focus, L"BUTTON")) {
            SendMessageW(focus, BM_CLICK, 0, 0);
            return true;
        }
        if (message.wParam == VK_RETURN && root == hwnd_ && is(focus, L"EDIT")) {
            const bool add = focus == control(form::Id::add);
            finish_editing(add ? form::Id::add : form::Id::chuankou_num,
                           add ? form::Id::VScroll1 : form::Id::VScroll2);
            return true;
        }
        if ((message.wParam == VK_UP || message.wParam == VK_DOWN) && is(focus, UPDOWN_CLASSW)) {
            step(focus, message.wParam == VK_UP ? 1 : -1);
            return true;
        }
    }
    return IsDialogMessageW(root, &message) != 0;
}

}  // namespace tarvok::win
