// win/ under Wine against the real tarvok-sim: the COM port as a bus line (a frame
// out, the reply in through the wait loop, a port that is not there, a device that
// goes away), the system's port list, Ctrl-C at the console, and the language when no
// locale variable is set.
// Usage: test_line.exe <folder of the simulators' logs, Windows path> <zh|en>
//        test_line.exe ctrl-c-twice   (the second press, in a child)
#include <algorithm>
#include <functional>
#include <optional>

#include "protocol/reply.h"
#include "protocol/request.h"
#include "tests/windows/support.h"
#include "win/console_stop.h"
#include "win/line_loop.h"
#include "win/port_list.h"

using namespace tarvok;
using test::wait_for;

namespace {

// Counts what the line tells; an alarm ends a wait that has gone on too long.
struct Listener : bus::LineListener {
    int arrived = 0, faults = 0, losses = 0;
    bool timed_out = false;
    void input_arrived() override { ++arrived; }
    void alarm() override { timed_out = true; }
    void faulted(bus::LineFault) override { ++faults; }
    void lost() override { ++losses; }
};

constexpr bus::Micros kPatience{20'000'000};

void a_frame_goes_out_and_its_reply_comes_back() {
    win::ComPort port;
    Listener heard;
    port.set_listener(&heard);
    if (!CHECK(!port.open(1, {9600, protocol::Parity::none}), "COM1 opens")) {
        return;
    }
    const auto frame = protocol::encode(1, protocol::ModeSetting{3, protocol::Mode::self_lock});
    CHECK(port.write(frame), "the line takes the frame");
    port.wake_at(port.now() + kPatience);
    win::run_line(port, [&] { return port.available() >= 8 || heard.timed_out; });
    const auto reply = port.take(8);
    CHECK(reply.size() == 8 &&
              protocol::judge(protocol::frame_from(reply)) == protocol::Verdict::success,
          "the module's reply comes back through the wait loop");
    CHECK(heard.arrived > 0 && heard.faults == 0, "input arrives, no fault");
    // Bytes left over are dropped before the next frame.
    port.write(frame);
    wait_for([&] { return (port.service(), port.available() >= 8); });
    CHECK(port.discard_input().size() >= 8 && port.available() == 0, "discard empties the input");
}

void ports_that_will_not_open() {
    win::ComPort port;
    CHECK(port.open(200, {}) == serial::SerialFault::no_such_port, "COM200 is not there");
    CHECK(!port.is_open() && port.wait_handles().empty(), "nothing open after a refusal");
    // Wine opens a COM port twice; Windows refuses the second with access denied.
    const std::pair<DWORD, serial::SerialFault> refusals[] = {
        {ERROR_ACCESS_DENIED, serial::SerialFault::busy},
        {ERROR_SHARING_VIOLATION, serial::SerialFault::busy},
        {ERROR_FILE_NOT_FOUND, serial::SerialFault::no_such_port},
        {ERROR_GEN_FAILURE, serial::SerialFault::open_failed}};
    for (const auto& [error, fault] : refusals) {
        CHECK(win::open_fault(error) == fault, "error " + std::to_string(error));
    }
}

// tests/windows/run.sh stops the simulator of COM3 once the flag file appears.
void a_device_that_goes_away_is_lost(const std::wstring& logs) {
    win::ComPort port;
    Listener heard;
    port.set_listener(&heard);
    if (!CHECK(!port.open(3, {}), "COM3 opens")) {
        return;
    }
    CloseHandle(CreateFileW((logs + L"\\stop-com3").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr));
    port.wake_at(port.now() + kPatience);
    CHECK(win::run_line(port, [&] { return heard.timed_out; }) == win::LoopEnd::closed,
          "the loop ends");
    CHECK(heard.losses == 1 && !heard.timed_out && !port.is_open(), "the port is lost and closed");
}

void the_port_list_is_the_systems() {
    const struct {
        const wchar_t* name;
        std::optional<int> number;
    } names[] = {{L"COM1", 1},   {L"com255", 255}, {L"COM256", {}}, {L"COM0", {}},
                 {L"COM01", {}}, {L"LPT1", {}},    {L"COM", {}},    {L"COM1x", {}}};
    for (const auto& row : names) {
        CHECK(win::com_number(row.name) == row.number, win::utf8(row.name));
    }
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                    REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    for (const auto& [device, name] :
         {std::pair{L"\\Device\\TarvokA", L"COM12"}, std::pair{L"\\Device\\TarvokB", L"COM4"},
          std::pair{L"\\Device\\TarvokC", L"LPT2"}}) {
        RegSetValueExW(key, device, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                       static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t)));
    }
    const auto ports = win::available_ports();
    const auto at = [&](int n) {
        return std::find_if(ports.begin(), ports.end(),
                            [n](const auto& p) { return p.number == n; });
    };
    CHECK(at(12) != ports.end() && at(12)->device == L"\\Device\\TarvokA", "COM12 listed");
    CHECK(at(4) != ports.end() && at(4) < at(12), "COM4 listed before COM12");
    CHECK(std::is_sorted(ports.begin(), ports.end(),
                         [](const auto& a, const auto& b) { return a.number < b.number; }),
          "ascending");
    for (const wchar_t* device :
         {L"\\Device\\TarvokA", L"\\Device\\TarvokB", L"\\Device\\TarvokC"}) {
        RegDeleteValueW(key, device);
    }
    RegCloseKey(key);
}

// The first press asks; the second, in a child of its own, ends it with 130.
void ctrl_c_asks_then_ends() {
    {
        win::ConsoleStop stop;
        GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        CHECK(WaitForSingleObject(stop.event(), 10'000) == WAIT_OBJECT_0 && stop.requested(),
              "the first Ctrl-C asks to stop");
    }
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" ctrl-c-twice";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION child{};
    // The child's Ctrl-C reaches everyone on the console; here it is ignored.
    SetConsoleCtrlHandler(nullptr, TRUE);
    if (!CHECK(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &start, &child),
               "the child starts")) {
        return;
    }
    WaitForSingleObject(child.hProcess, 20'000);
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    CHECK(code == win::ConsoleStop::kExitAtOnce,
          "the second Ctrl-C ends at once: " + std::to_string(code));
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
}

int ctrl_c_twice() {
    win::ConsoleStop stop;
    // Ignoring Ctrl-C is inherited from the parent; the handler must hear it.
    SetConsoleCtrlHandler(nullptr, FALSE);
    for (int press = 0; press < 2; ++press) {
        GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        WaitForSingleObject(stop.event(), 10'000);
    }
    Sleep(10'000);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"ctrl-c-twice") {
        return ctrl_c_twice();
    }
    if (argc < 3) {
        std::printf("usage: test_line.exe <log folder> <zh|en>\n");
        return 2;
    }
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"a frame out, its reply in", a_frame_goes_out_and_its_reply_comes_back},
        {"ports that will not open", ports_that_will_not_open},
        {"a device that goes away", [&] { a_device_that_goes_away_is_lost(argv[1]); }},
        {"the system's port list", the_port_list_is_the_systems},
        {"Ctrl-C", ctrl_c_asks_then_ends},
        {"the language", [&] { test::check_language(win::utf8(argv[2])); }}};
    for (const auto& [name, step] : steps) {
        std::printf("%s\n", name);
        std::fflush(stdout);
        step();
    }
    std::printf("test_line: %d failed\n", test::failures);
    return test::failures == 0 ? 0 : 1;
}
