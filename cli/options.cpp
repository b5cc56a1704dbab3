#include "cli/options.h"

#include <algorithm>
#include <array>
#include <vector>

#include "cli/setting_words.h"
#include "protocol/number_text.h"
#include "serial/port_messages.h"
#include "serial/port_number.h"

namespace tarvok::cli {

namespace {

enum class Key {
    port,
    baud,
    parity,
    address,
    channel,
    timeout,
    retries,
    strict,
    lenient,
    follow,
    addresses,
    json,
    help,
    version
};

struct OptionInfo {
    std::string_view name;
    Key key;
    bool takes_value;
};

constexpr std::array<OptionInfo, 15> kOptions = {{
    {"--port", Key::port, true},
    {"--baud", Key::baud, true},
    {"--parity", Key::parity, true},
    {"--address", Key::address, true},
    {"--channel", Key::channel, true},
    {"--timeout", Key::timeout, true},
    {"--retries", Key::retries, true},
    {"--strict", Key::strict, false},
    {"--lenient", Key::lenient, false},
    {"--follow", Key::follow, false},
    {"--addresses", Key::addresses, true},
    {"--json", Key::json, false},
    {"--help", Key::help, false},
    {"-h", Key::help, false},
    {"--version", Key::version, false},
}};

// What the words say before they are put together into an invocation.
struct Words {
    Invocation invocation;
    std::optional<std::string_view> address;
    std::optional<std::string_view> channel;
    std::optional<std::vector<std::uint8_t>> addresses;
    bool every_rate = false;    // --baud all, for scan
    bool every_parity = false;  // --parity all, for scan
    bool retries_given = false;
    bool help = false;
    bool version = false;
    std::vector<std::string_view> positional;
};

std::string quoted(std::string_view text) { return "“" + std::string(text) + "”"; }

std::optional<int> whole_number(std::string_view text, int low, int high) {
    const auto value = protocol::whole_number(text, static_cast<std::uint32_t>(low),
                                              static_cast<std::uint32_t>(high));
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

std::string range_error(std::string_view name, std::string_view value, int low, int high) {
    return std::string(name) + " 的取值" + quoted(value) + "无效，应为 " + std::to_string(low) +
           " 到 " + std::to_string(high) + " 的整数";
}

// Stores an option's value; the error when it does not fit.
std::optional<std::string> take_value(Words& w, const OptionInfo& o, std::string_view v) {
    RunConfig& run = w.invocation.run;
    switch (o.key) {
    case Key::port:
        if (const auto port = serial::port_number(v)) {
            run.port = *port;
            return std::nullopt;
        }
        return serial::port_number_invalid(QString::fromUtf8(v.data(), qsizetype(v.size())))
            .toStdString();
    case Key::baud:
        w.every_rate = v == "all";
        if (w.every_rate) {
            return std::nullopt;
        }
        if (const auto baud = whole_number(v, 1, 1'000'000);
            baud && protocol::code_for_baud(static_cast<std::uint32_t>(*baud))) {
            run.line.baud = static_cast<std::uint32_t>(*baud);
            return std::nullopt;
        }
        return "--baud 的取值" + quoted(v) + "无效，可用：" + protocol::baud_list_text();
    case Key::parity:
        w.every_parity = v == "all";
        if (w.every_parity) {
            return std::nullopt;
        }
        if (const auto* parity = protocol::find_text(protocol::kParities, v)) {
            run.line.parity = parity->value;
            return std::nullopt;
        }
        return "--parity 的取值" + quoted(v) + "无效，可用：" + choices(protocol::kParities);
    case Key::address:
        if (protocol::address_byte(v)) {
            w.address = v;
            return std::nullopt;
        }
        return range_error(o.name, v, 0, 255);
    case Key::addresses:
        if (auto list = protocol::address_list(v)) {
            w.addresses = std::move(list);
            return std::nullopt;
        }
        return "--addresses 的取值" + quoted(v) + "无效，应为 0 到 255 的地址或地址列表，如 1-8,12";
    case Key::channel:
        w.channel = v;  // checked with the setting it belongs to
        return std::nullopt;
    case Key::timeout:
        if (const auto ms = whole_number(v, 1, kMaxTimeoutMs)) {
            run.timeout_ms = *ms;
            return std::nullopt;
        }
        return range_error(o.name, v, 1, kMaxTimeoutMs) + "（毫秒）";
    case Key::retries:
        if (const auto n = whole_number(v, 0, kMaxRetries)) {
            run.retries = *n;
            w.retries_given = true;
            return std::nullopt;
        }
        return range_error(o.name, v, 0, kMaxRetries);
    case Key::strict:
    case Key::lenient:
    case Key::follow:
    case Key::json:
    case Key::help:
    case Key::version:
        break;
    }
    return std::nullopt;
}

void set_flag(Words& w, Key key) {
    w.invocation.run.lenient |= key == Key::lenient;
    w.invocation.run.follow |= key == Key::follow;
    w.invocation.json |= key == Key::json;
    w.help |= key == Key::help;
    w.version |= key == Key::version;
}

// Sorts the words into options and positional arguments.
std::optional<std::string> read_words(std::span<const std::string_view> args, Words& w) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!arg.starts_with("-") || arg == "-") {
            w.positional.push_back(arg);
            continue;
        }
        const auto eq = arg.find('=');
        const std::string_view name = arg.substr(0, eq);
        const auto* o = std::find_if(kOptions.begin(), kOptions.end(),
                                     [name](const auto& x) { return x.name == name; });
        if (o == kOptions.end()) {
            return "未知选项" + quoted(name);
        }
        if (!o->takes_value) {
            if (eq != std::string_view::npos) {
                return "选项 " + std::string(name) + " 不带取值";
            }
            set_flag(w, o->key);
            continue;
        }
        if (eq == std::string_view::npos && i + 1 == args.size()) {
            return "选项 " + std::string(name) + " 缺少取值";
        }
        const std::string_view value =
            eq == std::string_view::npos ? args[++i] : arg.substr(eq + 1);
        if (auto error = take_value(w, *o, value)) {
            return error;
        }
    }
    return std::nullopt;
}

std::variant<Command, std::string> setting_command(const Words& w, Kind kind) {
    const std::string name(protocol::name_in(kKinds, kind));
    std::vector<std::string_view> args(w.positional.begin() + 1, w.positional.end());
    if (takes_channel(kind)) {
        if (!w.channel) {
            return name + "需要用 --channel 指定通道（1 到 32 或 all）";
        }
        args.insert(args.begin(), *w.channel);
    } else if (w.channel) {
        return name + "作用于整个模块，不带 --channel";
    }
    auto setting = setting_from(kind, args);
    if (auto* message = std::get_if<std::string>(&setting)) {
        return std::move(*message);
    }
    const auto address = w.address ? *protocol::address_byte(*w.address) : std::uint8_t{1};
    return SendOne{PlanStep{0, address, std::get<protocol::Request>(setting)}};
}

Command scan_command(const Words& w) {
    ScanBus scan;
    if (!w.every_rate) {
        scan.baud = w.invocation.run.line.baud;
    }
    if (!w.every_parity) {
        scan.parity = w.invocation.run.line.parity;
    }
    scan.retries = w.retries_given ? w.invocation.run.retries : 0;
    if (w.addresses) {
        scan.addresses = *w.addresses;
    } else {
        for (int a = 0; a <= 255; ++a) {
            scan.addresses.push_back(static_cast<std::uint8_t>(a));
        }
    }
    return scan;
}

std::variant<Command, std::string> command_of(const Words& w) {
    if (w.help) {
        return ShowHelp{};
    }
    if (w.version) {
        return ShowVersion{};
    }
    const bool scan = !w.positional.empty() && w.positional.front() == "scan";
    if (!scan && (w.every_rate || w.every_parity || w.addresses)) {
        return std::string("--baud all、--parity all 和 --addresses 只用于 scan");
    }
    if (scan) {
        if (w.positional.size() != 1 || w.channel || w.address) {
            return std::string("scan 不带参数、--address 或 --channel：用 --addresses 指定地址范围");
        }
        return scan_command(w);
    }
    if (w.positional.empty()) {
        return std::string("缺少命令：mode、power-on、line、apply、scan 或 ports");
    }
    const std::string_view word = w.positional.front();
    const std::size_t extra = w.positional.size() - 1;
    if (word == "ports") {
        if (extra != 0 || w.channel || w.address) {
            return std::string("ports 只列出串口号，不带参数、--address 或 --channel");
        }
        return ListPorts{};
    }
    if (word == "apply") {
        if (w.channel || w.address) {
            return std::string("apply 不带 --address 或 --channel：计划文件每行自带地址和通道");
        }
        if (extra != 1) {
            return std::string("apply 需要一个计划文件（或用 - 表示标准输入）");
        }
        return ApplyPlan{std::string(w.positional[1])};
    }
    if (const auto* kind = find_kind(word)) {
        return setting_command(w, kind->value);
    }
    return quoted(word) + "不是命令，可用：mode、power-on、line、apply、scan、ports";
}

}  // namespace

std::variant<Invocation, UsageError> parse_invocation(std::span<const std::string_view> args) {
    Words words;
    if (auto error = read_words(args, words)) {
        return UsageError{std::move(*error)};
    }
    auto command = command_of(words);
    if (auto* message = std::get_if<std::string>(&command)) {
        return UsageError{std::move(*message)};
    }
    words.invocation.command = std::get<Command>(command);
    return words.invocation;
}

}  // namespace tarvok::cli
