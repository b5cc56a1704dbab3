// tarvokctl.exe under Wine, many runs in one Wine session. First the cases that
// tests/windows/run.sh also gives the Linux tarvokctl (ctl_cases.tsv), each run's exit
// code and output left in files for run.sh to compare with Linux's; then what only a
// Windows console has: the port table, a busy port, Ctrl-C once and
// twice, and the language when no locale variable is set.
// Usage: test_ctl.exe <tarvokctl.exe> <cases> <folder> <COM5's simulator log> <zh|en>
//        <refused|none: whether COM6 is a device that refuses its opener>
// (Windows paths; the runs work in <folder>, where their inputs are).
#include <algorithm>
#include <sstream>
#include <vector>

#include "tests/windows/support.h"

using namespace tarvok;
using test::file_text;
using test::wait_for;

namespace {

struct Child {
    PROCESS_INFORMATION process{};
    std::wstring out, err;  // where its standard output and error go

    DWORD finish(DWORD ms = 30'000) const {
        DWORD code = 259;
        if (WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &code);
        } else {
            TerminateProcess(process.hProcess, 99);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }
};

struct Runner {
    std::wstring tool, folder;

    HANDLE file(const std::wstring& path, bool write) const {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           write ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
    }

    // tarvokctl.exe with `args` (UTF-8), standard input from `input` (NUL when empty), its
    // output in <name>.out and <name>.err. The child hears the console's Ctrl-C.
    Child start(const std::string& name, const std::vector<std::string>& args,
                const std::string& input = {}) const {
        std::wstring command = L"\"" + tool + L"\"";
        for (const auto& arg : args) {
            command += L" \"" + win::wide(arg) + L"\"";
        }
        Child child{{},
                    folder + L"\\" + win::wide(name) + L".out",
                    folder + L"\\" + win::wide(name) + L".err"};
        STARTUPINFOW start{};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdInput =
            input.empty() ? file(L"NUL", false) : file(folder + L"\\" + win::wide(input), false);
        start.hStdOutput = file(child.out, true);
        start.hStdError = file(child.err, true);
        CHECK(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             folder.c_str(), &start, &child.process),
              "tarvokctl.exe starts for " + name);
        for (HANDLE handle : {start.hStdInput, start.hStdOutput, start.hStdError}) {
            CloseHandle(handle);
        }
        return child;
    }
};

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) {
        out.push_back(field);
    }
    return out;
}

// Each case's exit code goes to <name>.code, beside its output.
void run_cases(const Runner& runner, const std::wstring& cases) {
    std::stringstream table(file_text(cases));
    for (std::string line; std::getline(table, line);) {
        auto f = fields(line);
        if (f.size() < 2 || f[0].starts_with("#")) {
            continue;
        }
        const std::vector<std::string> args(f.begin() + 2, f.end());
        const DWORD code = runner.start(f[0], args, f[1] == "-" ? "" : f[1]).finish();
        const std::string text = std::to_string(code) + "\n";
        HANDLE out = runner.file(runner.folder + L"\\" + win::wide(f[0]) + L".code", true);
        DWORD wrote = 0;
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
        CloseHandle(out);
    }
}

std::size_t count(const std::string& text, const std::string& piece) {
    std::size_t n = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++n;
    }
    return n;
}

void the_port_table_and_a_busy_port(const Runner& runner, bool refused) {
    const Child ports = runner.start("ports", {"ports"});
    CHECK(ports.finish() == 0, "ports exits 0");
    const std::string table = file_text(ports.out);
    CHECK(table.starts_with("1 = COM1 (\\Device\\Serial") &&
              table.find("\n5 = COM5 (\\Device\\Serial") != std::string::npos &&
              table.ends_with(")\n") && table.find('\r') == std::string::npos,
          "the port table, a line a port as on Linux: " + table);
    if (!refused) {
        std::printf("skipped: no device here refuses its opener, so no COM6\n");
        return;
    }
    // COM6 is refused with access denied, as Windows refuses a port another program holds.
    const Child busy =
        runner.start("busy", {"--port", "6", "--address", "1", "mode", "--channel", "2", "自锁"});
    CHECK(busy.finish() == 69, "a busy port ends with 69, as on Linux");
    const std::string said = file_text(busy.err);
    CHECK(said.find("打开串口 6（COM6）失败") != std::string::npos &&
              said.find("正被其他程序占用；Windows 不告诉是哪个程序") != std::string::npos,
          "it says the port is busy and that Windows does not tell who holds it: " + said);
}

// COM5's module answers 1.5 s late: each press comes while a setting is in flight.
void ctrl_c(const Runner& runner, const std::wstring& sim_log) {
    const auto frames = [&] { return count(file_text(sim_log), " → "); };
    const std::size_t before = frames();
    const Child once =
        runner.start("ctrl-c", {"--port", "5", "--json", "--timeout", "5000", "apply", "four.csv"});
    CHECK(wait_for([&] { return frames() > before; }), "the first frame goes out");
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    CHECK(once.finish() == 130, "a Ctrl-C ends the run with 130, as SIGINT on Linux");
    const std::string json = file_text(once.out);
    CHECK(count(json, "\"outcome\":\"done\"") == 1 &&
              count(json, "\"outcome\":\"not-sent\",\"attempts\":0") == 3 &&
              count(json, "\"unsent\":\"stopped\"") == 3,
          "the setting in flight is done, the rest not sent: " + json);
    CHECK(frames() == before + 1, "nothing more reached the bus");
    CHECK(file_text(once.err).find(
              "已被 Ctrl-C（SIGINT）停止：进行中的一项结束后没有再发送任何帧") != std::string::npos,
          "the summary says it: " + file_text(once.err));

    const std::size_t now = frames();
    const Child twice =
        runner.start("ctrl-c-twice", {"--port", "5", "--json", "--timeout", "20000", "--address",
                                      "1", "mode", "--channel", "1", "自锁"});
    CHECK(wait_for([&] { return frames() > now; }), "the frame goes out");
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    CHECK(wait_for([&] { return file_text(twice.err).find("收到信号") != std::string::npos; }),
          "the first press is taken");
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    CHECK(twice.finish(5'000) == 130, "the second press ends it at once, 130");
    CHECK(file_text(twice.out).find("\"outcome\":\"no-reply\"") != std::string::npos &&
              file_text(twice.err).find("再次收到信号后立即结束") != std::string::npos,
          "no waiting for the reply: " + file_text(twice.out) + file_text(twice.err));
}

BOOL WINAPI stay(DWORD) { return TRUE; }  // the presses are for the child

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 7) {
        std::printf(
            "usage: test_ctl.exe <tarvokctl.exe> <cases> <folder> <sim log> <zh|en> "
            "<refused|none>\n");
        return 2;
    }
    // A handler, not the ignore flag, which the children would inherit.
    SetConsoleCtrlHandler(stay, TRUE);
    const Runner runner{argv[1], argv[3]};
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"the cases Linux runs too", [&] { run_cases(runner, argv[2]); }},
        {"the port table and a busy port",
         [&] { the_port_table_and_a_busy_port(runner, std::wstring(argv[6]) == L"refused"); }},
        {"Ctrl-C", [&] { ctrl_c(runner, argv[4]); }},
        {"the language", [&] { test::check_language(win::utf8(argv[5])); }}};
    for (const auto& [name, step] : steps) {
        std::printf("%s\n", name);
        std::fflush(stdout);
        step();
    }
    std::printf("test_ctl: %d failed\n", test::failures);
    return test::failures == 0 ? 0 : 1;
}
