// tarvok.exe under Wine, driven from outside as the operator would, against the real
// tarvok-sim: its controls at their designed places, tab order and lists; port 1
// opens, each 修改 sends its frame (the simulator's log shows it) and the reply
// brings 修改成功, port 2's failing module 修改失败; F12 brings up 通讯记录 with the
// lines Debian's shows for the same frames, and 清空 empties it; a port that is not
// there and an address that is none get a notice.
// Usage: test_window.exe <tarvok.exe> <folder of the simulators' logs> [dpi]
// With a DPI other than 96, only where the controls sit, scaled to it.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <functional>
#include <vector>

#include "bus/traffic_words.h"
#include "form/lists.h"
#include "protocol/reply.h"
#include "protocol/request.h"
#include "tests/windows/support.h"
#include "win/controls.h"
#include "win/traffic_window.h"

using namespace tarvok;
using form::Id;
using test::file_text;
using test::text;
using test::wait_for;

namespace {

HWND g_main = nullptr;

HWND item(Id id) { return GetDlgItem(g_main, win::control_id(id)); }

int px(int twips, UINT dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

RECT in_client(HWND window, HWND of) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, of, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string rect_text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void controls_sit_where_designed(UINT dpi) {
    for (const form::Control& c : form::kMainControls) {
        const form::Twips frame = c.frame ? form::control(*c.frame).at : form::Twips{};
        const int left = px(frame.left, dpi) + px(c.at.left, dpi);
        const int top = px(frame.top, dpi) + px(c.at.top, dpi);
        const RECT want{left, top, left + px(c.at.width, dpi), top + px(c.at.height, dpi)};
        const RECT got = in_client(item(c.id), g_main);
        CHECK(EqualRect(&got, &want),
              std::string(c.name) + " at " + rect_text(got) + ", designed " + rect_text(want));
    }
    RECT client{};
    GetClientRect(g_main, &client);
    CHECK(client.right == px(7992, dpi) && client.bottom == px(5640, dpi), "client area");
    CHECK(text(g_main) == "TarvokV1.6", "title");
}

void tab_order_and_lists() {
    HWND at = item(Id::chuankou_num);
    for (const Id id : form::tab_order()) {
        CHECK(at == item(id), "tab reaches " + std::string(form::control(id).name));
        at = GetNextDlgTabItem(g_main, at, FALSE);
    }
    for (const form::Control& c : form::kMainControls) {
        if (c.kind != form::Kind::list) {
            continue;
        }
        const auto entries = form::entries(c.list, words::Language::chinese);
        HWND box = item(c.id);
        bool same = SendMessageW(box, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(entries.size());
        for (std::size_t i = 0; same && i < entries.size(); ++i) {
            wchar_t entry[64] = {};
            SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
            same = win::utf8(entry) == entries[i].text;
        }
        CHECK(same && SendMessageW(box, CB_GETCURSEL, 0, 0) == c.selected,
              std::string(c.name) + " entries and selection");
    }
}

void click(Id id) { SendMessageW(item(id), BM_CLICK, 0, 0); }

bool port_controls_enabled(bool enabled) {
    for (const Id id : {Id::chuankou_num, Id::VScroll2, Id::Combo3, Id::Combo7}) {
        if ((IsWindowEnabled(item(id)) != 0) != enabled) {
            return false;
        }
    }
    return text(item(Id::open_comm)) == (enabled ? "打开串口" : "关闭串口");
}

void open_port(int number) {
    SendMessageW(item(Id::chuankou_num), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(std::to_wstring(number).c_str()));
    click(Id::open_comm);
}

// A result window of that title is up and shows `message`.
HWND result_shown(const wchar_t* title, const char* message) {
    HWND found = nullptr;
    wait_for([&] {
        found = FindWindowW(L"TarvokResult", title);
        return found != nullptr && IsWindowVisible(found);
    });
    CHECK(found && text(GetDlgItem(found, 101)) == message, message);
    return found;
}

std::string notice_text() {
    HWND notice = nullptr;
    wait_for([&] { return (notice = FindWindowW(L"TarvokNotice", nullptr)) != nullptr; });
    const std::string said = notice ? text(GetDlgItem(notice, 101)) : "";
    if (notice) {
        SendMessageW(GetDlgItem(notice, 100), BM_CLICK, 0, 0);
    }
    return said;
}

struct Press {
    Id button, first, second;
    int first_at, second_at;
    protocol::Request request;
};

void settings_go_out_and_succeed(const std::wstring& logs) {
    SendMessageW(item(Id::add), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    open_port(1);
    CHECK(port_controls_enabled(false), "port 1 open, port controls locked");
    const Press presses[] = {
        {Id::Command1, Id::Combo1_0, Id::Combo2, 2, 1,
         protocol::ModeSetting{3, protocol::Mode::self_lock}},
        {Id::Command2, Id::Combo1_1, Id::Combo4, 32, 2,
         protocol::PowerOnSetting{protocol::kAllChannels, protocol::PowerOn::memory}},
        {Id::Command3, Id::Combo5, Id::Combo6, 3, 0, protocol::LineSetting{9600, {}}},
    };
    for (const Press& p : presses) {
        SendMessageW(item(p.first), CB_SETCURSEL, p.first_at, 0);
        SendMessageW(item(p.second), CB_SETCURSEL, p.second_at, 0);
        click(p.button);
        const std::string line =
            "地址 1 · " + protocol::describe_frame(protocol::encode(1, p.request)) + " → 成功";
        CHECK(wait_for(
                  [&] { return file_text(logs + L"\\sim1.log").find(line) != std::string::npos; }),
              "the simulator took " + line);
        HWND shown = result_shown(L"提示", "修改成功");
        RECT client{};
        GetClientRect(shown, &client);
        MapWindowPoints(shown, nullptr, reinterpret_cast<POINT*>(&client), 2);
        const UINT dpi = GetDpiForSystem();
        CHECK(client.left == px(12372, dpi) && client.top == px(6840, dpi) &&
                  client.right - client.left == px(2844, dpi),
              "修改成功 at its designed place: " + rect_text(client));
        SendMessageW(GetDlgItem(shown, 100), BM_CLICK, 0, 0);
        CHECK(!IsWindowVisible(shown), "确定 hides it");
    }
    click(Id::open_comm);
    CHECK(port_controls_enabled(true), "closed, port controls free");
}

// The view's lines after the first (when the record began), without their times.
std::vector<std::string> traffic_lines(HWND view) {
    std::vector<std::string> lines;
    const std::string shown = text(view);
    for (std::size_t at = shown.find("\r\n"); at != std::string::npos;) {
        const std::size_t end = shown.find("\r\n", at + 2);
        const std::string line = shown.substr(at + 2, end - (at + 2));
        const std::size_t time = line.find(" ms  ");
        lines.push_back(time == std::string::npos ? line : line.substr(time + 5));
        at = end;
    }
    return lines;
}

void traffic_in_words() {
    open_port(1);
    PostMessageW(g_main, WM_KEYDOWN, VK_F12, 0);
    HWND log = nullptr;
    wait_for(
        [&] { return (log = FindWindowW(win::kTrafficClass, nullptr)) && IsWindowVisible(log); });
    if (!CHECK(log != nullptr && text(log) == bus::word(bus::TrafficWord::title),
               "F12: 通讯记录")) {
        return;
    }
    HWND view = GetDlgItem(log, win::kTrafficView);
    CHECK(wait_for([&] { return traffic_lines(view).size() > 1; }), "the record so far shown");
    SendMessageW(GetDlgItem(log, win::kTrafficClear), BM_CLICK, 0, 0);
    CHECK(wait_for([&] { return text(view).empty(); }), "清空 empties it");
    SendMessageW(item(Id::Combo1_0), CB_SETCURSEL, 2, 0);
    SendMessageW(item(Id::Combo2), CB_SETCURSEL, 1, 0);
    click(Id::Command1);
    const auto sent = protocol::encode(1, protocol::ModeSetting{3, protocol::Mode::self_lock});
    const auto reply = protocol::make_reply(1, sent[protocol::kCodeByte], true);
    std::vector<std::string> want;
    for (const auto& [kind, bytes] : {std::pair{bus::TrafficEvent::Kind::sent, sent},
                                      std::pair{bus::TrafficEvent::Kind::reply, reply}}) {
        bus::TrafficEvent event;
        event.kind = kind;
        event.bytes.assign(bytes.begin(), bytes.end());
        event.about = sent;
        want.push_back(bus::traffic_words(event).text);
    }
    CHECK(wait_for([&] { return traffic_lines(view) == want; }),
          "通讯记录 shows " + want.front() + " and " + want.back());
    if (HWND shown = result_shown(L"提示", "修改成功")) {
        SendMessageW(GetDlgItem(shown, 100), BM_CLICK, 0, 0);
    }
    click(Id::open_comm);
}

void a_failing_module_and_faults() {
    open_port(2);
    click(Id::Command1);
    HWND failed = result_shown(L"Form1", "修改失败");
    if (failed) {
        SendMessageW(GetDlgItem(failed, 100), BM_CLICK, 0, 0);
    }
    click(Id::open_comm);
    open_port(200);
    CHECK(notice_text() == "打开串口 200 失败：找不到这个串口，请检查串口号和连接。", "no COM200");
    CHECK(port_controls_enabled(true), "a failed open leaves the port controls free");
    SendMessageW(item(Id::add), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    click(Id::Command1);
    CHECK(notice_text().find("模块地址“abc”无效") == 0, "no such address");
}

// Text set whole shows its plain number at once; the arrows step it.
void number_boxes_follow_their_arrows() {
    const struct {
        const wchar_t* set;
        const char* shown;
        int value;
    } rows[] = {{L"200", "200", 200}, {L"2.5", "2", 2}, {L"007", "7", 7}, {L"256", "256", 7}};
    for (const auto& row : rows) {
        SendMessageW(item(Id::add), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.set));
        CHECK(text(item(Id::add)) == row.shown &&
                  SendMessageW(item(Id::VScroll1), UDM_GETPOS32, 0, 0) == row.value,
              win::utf8(row.set));
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::printf("usage: test_window.exe <tarvok.exe> <log folder>\n");
        return 2;
    }
    // Sees the window's own pixels and DPI, as tarvok.exe does, unscaled.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION program{};
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &start, &program)) {
        std::printf("tarvok.exe would not start\n");
        return 1;
    }
    // Visible once made, filled and placed.
    wait_for([] {
        g_main = FindWindowW(L"TarvokMain", nullptr);
        return g_main != nullptr && IsWindowVisible(g_main);
    });
    if (CHECK(g_main != nullptr, "the window comes up")) {
        const UINT dpi = argc > 3 ? static_cast<UINT>(_wtoi(argv[3])) : 96;
        CHECK(GetDpiForSystem() == dpi, "the screen at " + std::to_string(dpi) + " dpi");
        const std::pair<const char*, std::function<void()>> steps[] = {
            {"controls where designed", [dpi] { controls_sit_where_designed(dpi); }},
            {"tab order and lists", tab_order_and_lists},
            {"number boxes", number_boxes_follow_their_arrows},
            {"settings succeed", [&] { settings_go_out_and_succeed(argv[2]); }},
            {"traffic log", traffic_in_words},
            {"a failing module, faults", a_failing_module_and_faults}};
        // At another DPI (run.sh makes that run an English system's too) the places and
        // the lists' words are what can change.
        const std::size_t taken = dpi == 96 ? std::size(steps) : 2;
        for (std::size_t at = 0; at < taken; ++at) {
            std::printf("%s\n", steps[at].first);
            std::fflush(stdout);
            steps[at].second();
        }
        PostMessageW(g_main, WM_CLOSE, 0, 0);
    }
    DWORD code = 1;
    WaitForSingleObject(program.hProcess, 20'000);
    GetExitCodeProcess(program.hProcess, &code);
    CHECK(code == 0, "closing the window ends the program");
    std::printf("test_window: %d failed\n", test::failures);
    return test::failures == 0 ? 0 : 1;
}
