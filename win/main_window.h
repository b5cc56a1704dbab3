// tarvok.exe's main window, main_form as designed, with native Windows controls:
// the PC port group, the module address and the three setting groups, its COM port
// and its two result windows. Everything runs on the one thread of the message loop.
#pragma once

#include <windows.h>

#include <array>
#include <span>
#include <string>

#include "bus/line.h"
#include "bus/traffic.h"
#include "form/design.h"
#include "protocol/request.h"
#include "win/com_port.h"
#include "win/fonts.h"
#include "win/result_windows.h"
#include "win/traffic_window.h"
#include "win/window_proc.h"
#include "win/wire_watch.h"

namespace tarvok::win {

class MainWindow : private bus::LineListener {
public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    static void register_classes(HINSTANCE instance);

    HWND hwnd() const { return hwnd_; }
    HWND control(form::Id id) const { return controls_.at(static_cast<std::size_t>(id)); }
    const ComPort& port() const { return port_; }

    // For the message loop: what to wait on besides messages, and what to call when
    // one of them is signalled.
    std::span<const HANDLE> wait_handles() const { return port_.wait_handles(); }
    void service_port() { port_.service(); }
    // Keys the design gives meaning to, then the dialog keys (Tab) of whichever of
    // our windows the message is for. True when it was handled.
    bool pre_translate(MSG& message);

    // "通讯记录" (F12 or Ctrl+L, as on Debian): made on first use, then brought up.
    void open_traffic_window() { traffic_window_.show(hwnd_); }

    // Handlers, named after their control as the design names it.
    void open_comm_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    friend LRESULT CALLBACK owned_window_proc<MainWindow>(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void create_controls();
    void layout(UINT dpi);
    void command(int id, int code);
    void init_lists();

    void port_opened_ui();
    void port_closed_ui();
    void fail_open(const std::string& sentence);
    void send(const protocol::Request& request);
    void show_error(const std::string& sentence);

    // The number boxes and their arrows keep showing the same number.
    void text_changed(form::Id box, form::Id arrows);
    void arrows_changed(form::Id box, form::Id arrows);
    void finish_editing(form::Id box, form::Id arrows);
    void step(HWND arrows, int by);

    void input_arrived() override;
    void alarm() override { watch_.alarm(); }
    void faulted(bus::LineFault which) override;
    void lost() override;

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    std::wstring port_table_;
    Fonts fonts_;
    ResultWindows dialogs_;
    ComPort port_;
    bus::TrafficRecord traffic_;
    WireWatch watch_{port_, traffic_};
    TrafficWindow traffic_window_;
    std::array<HWND, form::kMainControls.size()> controls_{};
};

}  // namespace tarvok::win
