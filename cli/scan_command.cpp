#include "cli/scan_command.h"

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "bus/scanner.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/progress_line.h"
#include "protocol/scan.h"
#include "serial/port_words.h"

namespace tarvok::cli {

namespace {

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

// "6–9、12" for addresses in the order asked.
std::string address_ranges(std::span<const std::uint8_t> addresses) {
    std::string text;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        std::size_t last = i;
        while (last + 1 < addresses.size() && addresses[last + 1] == addresses[last] + 1) {
            ++last;
        }
        text += (text.empty() ? "" : "、") + std::to_string(addresses[i]) +
                (last > i ? "–" + std::to_string(addresses[last]) : "");
        i = last;
    }
    return text;
}

std::string unasked_words(const bus::ScanPlan& plan, bus::ScanPosition at) {
    std::string text = "扫描已停止，没有询问：";
    if (at.line < plan.lines.size() && at.address > 0) {
        text += protocol::line_words(plan.lines[at.line]) + " 的地址 " +
                address_ranges(std::span(plan.addresses).subspan(at.address));
        ++at.line;
        text += at.line < plan.lines.size() ? "；" : "";
    }
    for (std::size_t line = at.line; line < plan.lines.size(); ++line) {
        text += (line > at.line ? "、" : "") + protocol::line_words(plan.lines[line]);
    }
    return text + (at.line < plan.lines.size() ? " 的全部地址" : "");
}

constexpr std::string_view kNothingFound =
    "没有找到模块。可以试试：加 --baud all --parity all，询问所有波特率和校验位；"
    "检查接线，RS-485 适配器的 A、B 两线是否接反；确认模块已通电。";

// What a person reads goes to standard output, unless --json keeps that for the
// modules alone.
class ScanConsole : public bus::ScanListener {
public:
    explicit ScanConsole(bool json) : json_(json), progress_(json) {}

    void say(const std::string& text) {
        clear();
        output_.err(text + "\n");
    }
    void words(const std::string& text) {
        clear();
        json_ ? output_.err(text + "\n") : output_.out(text + "\n");
    }
    Output& output() { return output_; }
    std::function<void(bus::ScanEnd)> on_end;

    void line_started(const protocol::LineSetting& line, int index, int count) override {
        line_now_ = protocol::line_words(line) + " " + std::to_string(index + 1) + "/" +
                    std::to_string(count);
    }
    void progressed(int done, int total, std::uint8_t address) override {
        progress_.show("[" + line_now_ + "] 地址 " + std::to_string(address) + " · " +
                       std::to_string(done) + "/" + std::to_string(total) + " · 已找到 " +
                       std::to_string(found_) + " 个");
    }
    void module_found(const bus::FoundModule& m) override {
        ++found_;
        clear();
        output_.out(json_
                        ? json_of(m)
                        : "地址 " + std::to_string(m.address) + " · " +
                              protocol::line_words(m.line) + (m.late ? "（回复迟到）" : "") + "\n");
    }
    void found_again(const bus::FoundModule& first, const protocol::LineSetting& again) override {
        words(protocol::found_again_words(first.address, first.line, again));
    }
    void scan_finished(bus::ScanEnd end) override { on_end(end); }

private:
    void clear() { progress_.clear(); }

    bool json_;
    ProgressLine progress_;
    std::size_t found_ = 0;
    std::string line_now_;
    Output output_;
};

}  // namespace

int run_scan(const RunConfig& run, const ScanBus& scan, bool json, Platform& platform) {
    bus::ScanPlan plan;
    plan.lines = protocol::scan_lines(scan.baud, scan.parity);
    plan.addresses = scan.addresses;
    plan.retries = scan.retries;
    plan.deadline_ms = run.timeout_ms;
    auto opened = platform.open(run.port, plan.lines.front());
    if (const auto* why = std::get_if<std::string>(&opened)) {
        std::fputs(("tarvokctl：" + *why + "\n").c_str(), stderr);
        return static_cast<int>(Exit::port_unavailable);
    }
    bus::Line& line = *std::get<Platform::Opened>(opened).line;
    const std::string device = std::get<Platform::Opened>(opened).device;
    ScanConsole console(json);
    bus::Scanner scanner(line, plan, console);
    std::optional<int> stopped_by;
    std::optional<Exit> code;
    console.on_end = [&](bus::ScanEnd end) {
        if (code) {
            return;
        }
        Exit exit = scanner.found().empty() ? Exit::no_reply : Exit::success;
        switch (end) {
        case bus::ScanEnd::port_lost:
            console.say("tarvokctl：" + serial::words::port_lost(run.port, device));
            exit = Exit::port_lost;
            break;
        case bus::ScanEnd::line_fault:
            console.say("tarvokctl：" + serial::words::read_failed(run.port, device));
            exit = Exit::port_lost;
            break;
        case bus::ScanEnd::stopped:
            console.say(unasked_words(plan, scanner.position()));
            exit = exit_for_signal(stopped_by.value_or(2));
            break;
        case bus::ScanEnd::completed:
            break;
        }
        if (!json) {
            console.words(scanner.found().empty() ? std::string(kNothingFound)
                                                  : table_of(scanner.found()));
        }
        if (console.output().failed()) {
            std::fputs("tarvokctl：写出结果失败（磁盘已满，或读取输出的程序已退出）；结果不完整\n",
                       stderr);
            exit = Exit::port_lost;
        }
        code = exit;
    };
    const auto bound = bus::scan_bound(plan);
    if (bound > std::chrono::seconds(10)) {
        console.say("扫描 " + std::to_string(plan.addresses.size()) + " 个地址、" +
                    std::to_string(plan.lines.size()) + " 种线路，最多约需 " +
                    std::to_string((bound.count() + 999) / 1000) + " 秒（Ctrl-C 可提前结束）");
    }
    scanner.start();
    platform.run([&code] { return code.has_value(); },
                 [&](int signo) {
                     if (stopped_by) {
                         console.on_end(bus::ScanEnd::stopped);  // a second signal: at once
                         return;
                     }
                     stopped_by = signo;
                     scanner.stop();
                 });
    return static_cast<int>(code.value_or(Exit::interrupted));
}

}  // namespace tarvok::cli
