// What the main window does: opening and closing the port, the three setting
// buttons, replies, and the number boxes with their arrows.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "protocol/number_text.h"
#include "protocol/reply.h"
#include "serial/port_number.h"
#include "win/controls.h"
#include "win/main_window.h"
#include "win/text.h"
#include "win/words.h"

namespace tarvok::win {

using form::Id;

// ---- Opening and closing the port ------------------------------------------------

void MainWindow::open_comm_Click() {
    if (port_.is_open()) {
        port_.close();
        watch_.pause();
        traffic_.port_closed();
        port_closed_ui();
        return;
    }
    EnableWindow(control(Id::Combo3), FALSE);
    const protocol::LineSetting setting{
        static_cast<std::uint32_t>(list_value(control(Id::Combo3))),
        static_cast<protocol::Parity>(list_value(control(Id::Combo7)))};
    const std::string typed = utf8(text_of(control(Id::chuankou_num)));
    const auto number = serial::port_number(typed);
    if (!number) {
        fail_open(port_words({PortFact::Kind::number_invalid, 0, {}, typed}));
        return;
    }
    if (const auto fault = port_.open(*number, setting)) {
        fail_open(port_words(
            {PortFact::Kind::open_failed, *number, *fault, system_words(port_.system_error())}));
        return;
    }
    watch_.resume();
    traffic_.port_opened(*number, com_name(*number), setting);
    port_opened_ui();
}

void MainWindow::fail_open(const std::string& sentence) {
    port_closed_ui();
    show_error(sentence);
}

void MainWindow::port_opened_ui() {
    for (const Id id : {Id::chuankou_num, Id::VScroll2, Id::Combo3, Id::Combo7}) {
        EnableWindow(control(id), FALSE);
    }
    SetWindowTextW(control(Id::open_comm), L"关闭串口");
}

void MainWindow::port_closed_ui() {
    for (const Id id : {Id::VScroll2, Id::Combo3, Id::Combo7, Id::chuankou_num}) {
        EnableWindow(control(id), TRUE);
    }
    SetWindowTextW(control(Id::open_comm), wide(form::control(Id::open_comm).text).c_str());
}

void MainWindow::lost() {
    watch_.pause();
    traffic_.port_lost(com_name(port_.number()));
    port_closed_ui();
    show_error(port_words({PortFact::Kind::lost, port_.number()}));
}

void MainWindow::faulted(bus::LineFault which) {
    const auto kind =
        which == bus::LineFault::write ? PortFact::Kind::write_failed : PortFact::Kind::read_failed;
    show_error(port_words({kind, port_.number()}));
}

void MainWindow::show_error(const std::string& sentence) { show_notice(hwnd_, sentence, fonts_); }

// ---- The three setting buttons ---------------------------------------------------

void MainWindow::Command1_Click() {
    send(protocol::ModeSetting{static_cast<std::uint8_t>(list_value(control(Id::Combo1_0))),
                               static_cast<protocol::Mode>(list_value(control(Id::Combo2)))});
}

void MainWindow::Command2_Click() {
    send(protocol::PowerOnSetting{static_cast<std::uint8_t>(list_value(control(Id::Combo1_1))),
                                  static_cast<protocol::PowerOn>(list_value(control(Id::Combo4)))});
}

void MainWindow::Command3_Click() {
    send(protocol::LineSetting{static_cast<std::uint32_t>(list_value(control(Id::Combo5))),
                               static_cast<protocol::Parity>(list_value(control(Id::Combo6)))});
}

// The address is read from its box at every press; with the port closed the frame
// is built and nothing written.
void MainWindow::send(const protocol::Request& request) {
    const std::string typed = utf8(text_of(control(Id::add)));
    const auto address = protocol::address_byte(typed);
    if (!address) {
        show_error(address_words(typed));
        return;
    }
    const protocol::Frame frame = protocol::encode(*address, request);
    if (!port_.is_open()) {
        return;
    }
    // A reply is matched to nothing, so whatever waits from before must go first.
    port_.discard_input();
    if (port_.write(frame)) {
        watch_.sent(frame);
    } else if (port_.is_open()) {
        show_error(port_words({PortFact::Kind::write_failed, port_.number()}));
    }
}

// ---- Replies ---------------------------------------------------------------------

// Eight bytes at a time, as they come; a reply that fails the check is dropped
// without a word here. The watch judges the same bytes for 通讯记录.
void MainWindow::input_arrived() {
    watch_.input_arrived();
    while (port_.is_open() && port_.available() >= protocol::kFrameSize) {
        const protocol::Frame reply = protocol::frame_from(port_.take(protocol::kFrameSize));
        const protocol::Verdict verdict = protocol::judge(reply);
        if (verdict == protocol::Verdict::success) {
            dialogs_.show_success();
        } else if (verdict == protocol::Verdict::failure) {
            dialogs_.show_failure();
        }
    }
}

// ---- Address and port number entry -----------------------------------------------

namespace {

// The text's value when it is a number the arrows can take.
std::optional<int> spin_value(HWND box) {
    const auto value = protocol::to_int16(utf8(text_of(box)));
    if (!value || *value < 0 || *value > 255) {
        return std::nullopt;
    }
    return *value;
}

int position(HWND arrows) { return static_cast<int>(SendMessageW(arrows, UDM_GETPOS32, 0, 0)); }

// Writes the plain form of the value; the caret keeps its distance from the end.
void rewrite(HWND box, int value) {
    const std::wstring plain = std::to_wstring(value);
    const std::wstring old = text_of(box);
    if (old == plain) {
        return;
    }
    DWORD caret = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    const auto from_end = static_cast<int>(old.size()) - static_cast<int>(caret);
    SetWindowTextW(box, plain.c_str());
    const int size = static_cast<int>(plain.size());
    const int at = std::clamp(size - from_end, 0, size);
    SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(at), at);
}

}  // namespace

// Text set by the program (or pasted whole) that moves the value is shown in its
// plain form at once; text being typed is never rewritten under the caret: "1.5"
// on its way to "1.51" would become "2".
void MainWindow::text_changed(Id box, Id arrows) {
    const auto value = spin_value(control(box));
    if (!value || *value == position(control(arrows))) {
        return;
    }
    SendMessageW(control(arrows), UDM_SETPOS32, 0, *value);
    if (SendMessageW(control(box), EM_GETMODIFY, 0, 0) == 0) {
        rewrite(control(box), *value);
    }
}

void MainWindow::arrows_changed(Id box, Id arrows) {
    rewrite(control(box), position(control(arrows)));
}

void MainWindow::finish_editing(Id box, Id arrows) {
    if (spin_value(control(box))) {
        rewrite(control(box), position(control(arrows)));
        SendMessageW(control(box), EM_SETMODIFY, FALSE, 0);
    }
}

void MainWindow::step(HWND arrows, int by) {
    if (!IsWindowEnabled(arrows)) {
        return;
    }
    const int next = std::clamp(position(arrows) + by, 0, 255);
    SendMessageW(arrows, UDM_SETPOS32, 0, next);
    SendMessageW(hwnd_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, next),
                 reinterpret_cast<LPARAM>(arrows));
}

}  // namespace tarvok::win
