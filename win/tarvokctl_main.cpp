// tarvokctl.exe: the tool Linux runs (cli/tool.h) on the platform Windows gives it: a
// COM port driven by the wait loop, the console's Ctrl-C, the system's port map and
// clock. The arguments come as UTF-16 and go on as UTF-8, the tool's own text;
// standard input and output carry its bytes unaltered (no CR LF), as on Linux, and a
// console is told to show UTF-8.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/tool.h"
#include "plan/job_record.h"
#include "win/console_stop.h"
#include "win/line_loop.h"
#include "win/port_list.h"
#include "win/text.h"
#include "win/words.h"

namespace {

using namespace tarvok;

class WindowsPlatform : public cli::Platform {
public:
    // Port N is COMN, opened once: a run changes its rate and parity in place and never
    // opens the number again, so it stays on the device it began with.
    std::variant<Opened, std::string> open(int number, const protocol::LineSetting& line) override {
        // Ctrl-C is the tool's from before the port opens: a press between the first frame
        // and the loop must not end the process with the frame unanswered.
        if (!presses_) {
            presses_.emplace(2);
        }
        auto port = std::make_unique<win::ComPort>();
        if (const auto fault = port->open(number, line)) {
            return win::port_words({win::PortFact::Kind::open_failed, number, *fault,
                                    win::system_words(port->system_error())});
        }
        port_ = port.get();
        return Opened{std::move(port), "COM" + std::to_string(number)};
    }

    // Drives the port the tool opened last (it keeps it open while it runs). Each
    // Ctrl-C or Ctrl-Break goes to `stop` as SIGINT: the first asks, the second ends
    // the run at once; a third, should this loop not answer, ends the process.
    void run(const std::function<bool()>& done, const std::function<void(int)>& stop) override {
        if (!presses_) {
            presses_.emplace(2);
        }
        int handed = 0;
        while (port_ != nullptr && !done()) {
            switch (win::run_line(*port_, done, presses_->event())) {
            case win::LoopEnd::stopped:
                for (; handed < presses_->presses(); ++handed) {
                    stop(cli::kSigInt);
                }
                break;
            case win::LoopEnd::done:
            case win::LoopEnd::closed:  // lost: its listener was told, and the run ends
                return;
            }
        }
    }

    std::string port_table() override {
        const auto ports = win::available_ports();
        return ports.empty() ? std::string() : win::utf8(win::port_table_text(ports, L"\n"));
    }

    std::string now() override {
        static_assert(plan::kTimePattern == "yyyy-MM-dd HH:mm:ss");
        SYSTEMTIME t{};
        GetLocalTime(&t);
        char text[48];
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                      t.wHour, t.wMinute, t.wSecond);
        return text;
    }

private:
    std::optional<win::ConsoleStop> presses_;
    win::ComPort* port_ = nullptr;
};

// A console shows the tool's UTF-8 and its progress line's escapes while it runs, and
// gets its own settings back after: the code page is the console's, not the program's.
class ConsoleText {
public:
    ConsoleText() : page_(GetConsoleOutputCP()) {
        for (const DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
            HANDLE handle = GetStdHandle(which);
            DWORD mode = 0;
            if (GetConsoleMode(handle, &mode)) {
                consoles_.push_back({handle, mode});
                SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
            }
        }
        if (!consoles_.empty()) {
            SetConsoleOutputCP(CP_UTF8);
        }
    }
    ~ConsoleText() {
        for (const auto& [handle, mode] : consoles_) {
            SetConsoleMode(handle, mode);
        }
        if (!consoles_.empty()) {
            SetConsoleOutputCP(page_);
        }
    }
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

private:
    UINT page_;
    std::vector<std::pair<HANDLE, DWORD>> consoles_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    for (FILE* stream : {stdin, stdout, stderr}) {
        _setmode(_fileno(stream), _O_BINARY);
    }
    const ConsoleText console;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(win::utf8(argv[i]));
    }
    WindowsPlatform platform;
    return cli::run_tarvokctl(arguments, platform);
}
