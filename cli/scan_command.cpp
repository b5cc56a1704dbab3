#include "cli/scan_command.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "bus/scanner.h"
#include "cli/cli_words.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/progress_line.h"
#include "protocol/protocol_words.h"
#include "protocol/scan.h"
#include "serial/port_words.h"

namespace tarvok::cli {

namespace {

using TW = ToolWord;

std::string_view list_separator() { return protocol::word(protocol::ProtocolWord::list_separator); }

std::string json_of(const bus::FoundModule& m) {
    return "{\"address\":" + std::to_string(m.address) +
           ",\"baud\":" + std::to_string(m.line.baud) + ",\"parity\":\"" +
           std::string(protocol::find_value(protocol::kParities, m.line.parity)->alias) + "\"}\n";
}

std::string right(std::string_view text, std::size_t width) {
    return std::string(width - std::min(width, columns(text)), ' ') + std::string(text);
}

// A column as wide as its heading, and at least as wide as its numbers.
std::size_t width_of(std::string_view heading, std::size_t numbers) {
    return std::max(columns(heading), numbers);
}

std::string table_of(const std::vector<bus::FoundModule>& found) {
    constexpr std::size_t kAddressDigits = 4;
    constexpr std::size_t kRateDigits = 6;
    const std::size_t address_width = width_of(word(TW::scan_address), kAddressDigits);
    const std::size_t rate_width = width_of(word(TW::scan_baud), kRateDigits);
    std::string text = say(TW::scan_found, {std::to_string(found.size())}) + "\n  " +
                       right(word(TW::scan_address), address_width) + "  " +
                       right(word(TW::scan_baud), rate_width) + "  " +
                       std::string(word(TW::scan_parity)) + "\n";
    for (const auto& m : found) {
        text += "  " + right(std::to_string(m.address), address_width) + "  " +
                right(std::to_string(m.line.baud), rate_width) + "  " +
                std::string(protocol::shown_in(protocol::kParities, m.line.parity)) + "\n";
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
        text += (text.empty() ? std::string() : std::string(list_separator())) +
                std::to_string(addresses[i]) +
                (last > i ? "–" + std::to_string(addresses[last]) : "");
        i = last;
    }
    return text;
}

std::string unasked_words(const bus::ScanPlan& plan, bus::ScanPosition at) {
    std::string text(word(TW::unasked));
    if (at.line < plan.lines.size() && at.address > 0) {
        text +=
            say(TW::unasked_at, {protocol::line_words(plan.lines[at.line]),
                                 address_ranges(std::span(plan.addresses).subspan(at.address))});
        ++at.line;
        text += at.line < plan.lines.size() ? word(TW::unasked_separator) : "";
    }
    for (std::size_t line = at.line; line < plan.lines.size(); ++line) {
        text += (line > at.line ? std::string(list_separator()) : std::string()) +
                protocol::line_words(plan.lines[line]);
    }
    return text + (at.line < plan.lines.size() ? std::string(word(TW::unasked_all)) : "");
}

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
        progress_.show(
            cli::say(TW::scan_progress, {line_now_, std::to_string(address), std::to_string(done),
                                         std::to_string(total), std::to_string(found_)}));
    }
    void module_found(const bus::FoundModule& m) override {
        ++found_;
        clear();
        output_.out(json_ ? json_of(m)
                          : cli::say(TW::scan_module,
                                     {std::to_string(m.address), protocol::line_words(m.line)}) +
                                (m.late ? std::string(word(TW::scan_late)) : "") + "\n");
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
        std::fputs((own(*why) + "\n").c_str(), stderr);
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
            console.say(own(serial::words::port_lost(run.port, device)));
            exit = Exit::port_lost;
            break;
        case bus::ScanEnd::line_fault:
            console.say(own(serial::words::read_failed(run.port, device)));
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
            console.words(scanner.found().empty() ? std::string(word(TW::nothing_found))
                                                  : table_of(scanner.found()));
        }
        if (console.output().failed()) {
            std::fputs((own(word(TW::output_failed)) + "\n").c_str(), stderr);
            exit = Exit::port_lost;
        }
        code = exit;
    };
    const auto bound = bus::scan_bound(plan);
    if (bound > std::chrono::seconds(10)) {
        console.say(say(TW::scan_bound,
                        {std::to_string(plan.addresses.size()), std::to_string(plan.lines.size()),
                         std::to_string((bound.count() + 999) / 1000)}));
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
