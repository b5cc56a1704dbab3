#include "cli/scan_command.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

#include "bus/scanner.h"
#include "cli/exit_codes.h"
#include "cli/stop_signals.h"
#include "protocol/number_text.h"
#include "protocol/scan.h"
#include "serial/port.h"
#include "serial/port_messages.h"

#include <unistd.h>

namespace tarvok::cli {

namespace {

std::string line_words(const protocol::LineSetting& line) {
    return std::to_string(line.baud) + " " +
           std::string(protocol::name_in(protocol::kParities, line.parity));
}

void out(FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

std::string json_of(const bus::FoundModule& m) {
    return "{\"address\":" + std::to_string(m.address) +
           ",\"baud\":" + std::to_string(m.line.baud) + ",\"parity\":\"" +
           std::string(protocol::find_value(protocol::kParities, m.line.parity)->alias) + "\"}\n";
}

std::string table_of(const std::vector<bus::FoundModule>& found) {
    std::string text =
        "找到 " + std::to_string(found.size()) + " 个模块：\n  地址  波特率  校验位\n";
    for (const auto& m : found) {
        std::string address = std::to_string(m.address);
        std::string rate = std::to_string(m.line.baud);
        text += "  " + std::string(4 - address.size(), ' ') + address + "  " +
                std::string(6 - rate.size(), ' ') + rate + "  " +
                std::string(protocol::name_in(protocol::kParities, m.line.parity)) + "\n";
    }
    return text;
}

// What a person reads goes to standard output, unless --json keeps that for the
// modules alone.
class ScanConsole {
public:
    explicit ScanConsole(bool json) : json_(json), terminal_(::isatty(STDOUT_FILENO) != 0) {}

    void say(const std::string& text) {
        clear();
        out(json_ ? stderr : stdout, text + "\n");
    }
    void found(const bus::FoundModule& m) {
        clear();
        out(stdout, json_ ? json_of(m)
                          : "地址 " + std::to_string(m.address) + " · " + line_words(m.line) +
                                (m.late ? "（回复迟到）" : "") + "\n");
    }
    void progress(const std::string& line) {
        if (terminal_ && !json_) {
            out(stdout, "\r\033[K" + line);
            shown_ = true;
        }
    }
    void clear() {
        if (shown_) {
            out(stdout, "\r\033[K");
            shown_ = false;
        }
    }

private:
    bool json_;
    bool terminal_;
    bool shown_ = false;
};

}  // namespace

int run_scan(const RunConfig& run, const ScanBus& scan, bool json) {
    bus::ScanPlan plan;
    plan.port = run.port;
    plan.lines = protocol::scan_lines(scan.baud, scan.parity);
    plan.addresses = scan.addresses;
    plan.retries = scan.retries;
    plan.deadline_ms = run.timeout_ms;
    serial::Port port;
    bus::Scanner scanner(port);
    ScanConsole console(json);
    const StopSignals stop_signals;
    std::optional<Exit> stopped_by;
    QObject::connect(&stop_signals, &StopSignals::caught, [&](int signo) {
        stopped_by = exit_for_signal(signo);
        scanner.stop();
    });
    std::string line_now;
    QObject::connect(&scanner, &bus::Scanner::line_started,
                     [&](const protocol::LineSetting& line, int index, int count) {
                         line_now = line_words(line) + " " + std::to_string(index + 1) + "/" +
                                    std::to_string(count);
                     });
    QObject::connect(
        &scanner, &bus::Scanner::progress, [&](int done, int total, std::uint8_t address) {
            console.progress("[" + line_now + "] 地址 " + std::to_string(address) + " · " +
                             std::to_string(done) + "/" + std::to_string(total) + " · 已找到 " +
                             std::to_string(scanner.found().size()) + " 个");
        });
    QObject::connect(&scanner, &bus::Scanner::module_found,
                     [&](const bus::FoundModule& m) { console.found(m); });
    QObject::connect(
        &scanner, &bus::Scanner::found_again,
        [&](const bus::FoundModule& first, const protocol::LineSetting& again) {
            console.say("注意：地址 " + std::to_string(first.address) + " 在 " + line_words(again) +
                        " 也有回复（先在 " + line_words(first.line) +
                        " 找到）：可能是总线冲突，或两个模块同一地址而线路不同；只列出一次");
        });
    QObject::connect(
        &scanner, &bus::Scanner::finished, [&](bus::ScanEnd end, const serial::SerialError& error) {
            port.close();
            Exit code = scanner.found().empty() ? Exit::no_reply : Exit::success;
            switch (end) {
            case bus::ScanEnd::port_unavailable:
                console.say("tarvokctl：" + serial::open_failed(plan.port, error).toStdString());
                code = Exit::port_unavailable;
                break;
            case bus::ScanEnd::port_lost:
                console.say("tarvokctl：" +
                            serial::port_lost(plan.port, error.device).toStdString());
                code = Exit::port_lost;
                break;
            case bus::ScanEnd::stopped:
                code = stopped_by.value_or(Exit::interrupted);
                break;
            case bus::ScanEnd::completed:
                break;
            }
            // A port that never opened found nothing, and saying so would mislead.
            const bool scanned = end != bus::ScanEnd::port_unavailable || !scanner.found().empty();
            if (!json && scanned) {
                console.say(scanner.found().empty() ? std::string("没有找到模块。")
                                                    : table_of(scanner.found()));
            }
            QCoreApplication::exit(static_cast<int>(code));
        });
    const auto bound = bus::scan_bound(plan);
    if (bound > std::chrono::seconds(10)) {
        console.say("扫描 " + std::to_string(plan.addresses.size()) + " 个地址、" +
                    std::to_string(plan.lines.size()) + " 种线路，最多约需 " +
                    std::to_string((bound.count() + 999) / 1000) + " 秒（Ctrl-C 可提前结束）");
    }
    scanner.start(plan);
    return QCoreApplication::exec();
}

}  // namespace tarvok::cli
