#include "cli/options.h"

#include <QCommandLineParser>

#include <algorithm>
#include <array>
#include <vector>

#include "plan/plan_words.h"
#include "plan/setting_words.h"
#include "protocol/number_text.h"
#include "serial/port_number.h"

namespace tarvok::cli {

using namespace plan;  // the words of settings

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
    verbose,
    help,
    version
};

struct OptionInfo {
    Key key;
    std::string_view name;
    std::string_view value_name;  // empty for a switch
    std::string_view short_name = {};
};

constexpr std::array<OptionInfo, 15> kOptions = {{
    {Key::port, "port", "N"},
    {Key::baud, "baud", "B"},
    {Key::parity, "parity", "P"},
    {Key::address, "address", "A"},
    {Key::channel, "channel", "C"},
    {Key::timeout, "timeout", "MS"},
    {Key::retries, "retries", "N"},
    {Key::strict, "strict", ""},
    {Key::lenient, "lenient", ""},
    {Key::follow, "follow", ""},
    {Key::addresses, "addresses", "LIST"},
    {Key::json, "json", ""},
    {Key::verbose, "verbose", ""},
    {Key::help, "help", "", "h"},
    {Key::version, "version", ""},
}};

// What the arguments say before they are put together into an invocation.
struct Words {
    Invocation invocation;
    std::optional<int> address;
    std::optional<std::string> channel;
    std::optional<std::vector<std::uint8_t>> addresses;
    bool every_rate = false;    // --baud all, for scan
    bool every_parity = false;  // --parity all, for scan
    bool retries_given = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> positional;
};

QString text_of(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string dashed(std::string_view name) { return "--" + std::string(name); }

// Stores a whole number from `low` to `high`; the error when the text is anything else.
template <typename Target>
std::optional<std::string> store_number(const OptionInfo& o, std::string_view text, int low,
                                        int high, Target& target, std::string_view unit = {}) {
    if (const auto n = protocol::whole_number(text, static_cast<std::uint32_t>(low),
                                              static_cast<std::uint32_t>(high))) {
        target = static_cast<int>(*n);
        return std::nullopt;
    }
    return dashed(o.name) + " 的取值" + echo(text) + "无效，应为 " + std::to_string(low) + " 到 " +
           std::to_string(high) + " 的整数" + std::string(unit);
}

// Stores an option's value; the error when it does not fit.
std::optional<std::string> take_value(Words& w, const OptionInfo& o, const std::string& v) {
    RunConfig& run = w.invocation.run;
    switch (o.key) {
    case Key::port:
        return store_number(o, v, serial::kFirstPort, serial::kLastPort, run.port, "（串口号）");
    case Key::address:
        return store_number(o, v, 0, kLastAddress, w.address);
    case Key::timeout:
        return store_number(o, v, 1, kMaxTimeoutMs, run.timeout_ms, "（毫秒）");
    case Key::retries:
        w.retries_given = true;
        return store_number(o, v, 0, kMaxRetries, run.retries);
    case Key::baud:
        w.every_rate = same_word(v, "all");
        if (w.every_rate) {
            return std::nullopt;
        }
        if (const auto baud = protocol::whole_number(v, 1, protocol::kBaudCodes.back().baud);
            baud && protocol::code_for_baud(*baud)) {
            run.line.baud = *baud;
            return std::nullopt;
        }
        return "--baud 的取值" + echo(v) + "无效，可用：" + protocol::baud_list_text();
    case Key::parity:
        w.every_parity = same_word(v, "all");
        if (w.every_parity) {
            return std::nullopt;
        }
        if (const auto* parity = find_word(protocol::kParities, v)) {
            run.line.parity = parity->value;
            return std::nullopt;
        }
        return "--parity 的取值" + echo(v) + "无效，可用：" + choices(protocol::kParities);
    case Key::channel:
        w.channel = v;  // checked with the setting it belongs to
        return std::nullopt;
    case Key::addresses:
        if (auto list = protocol::address_list(v)) {
            w.addresses = std::move(list);
            return std::nullopt;
        }
        return "--addresses 的取值" + echo(v) + "无效，应为 0 到 255 的地址或地址列表，如 1-8,12";
    case Key::strict:
    case Key::lenient:
    case Key::follow:
    case Key::json:
    case Key::verbose:
    case Key::help:
    case Key::version:
        break;
    }
    return std::nullopt;
}

void set_switch(Words& w, Key key) {
    w.invocation.run.lenient |= key == Key::lenient;
    w.invocation.run.follow |= key == Key::follow;
    w.invocation.json |= key == Key::json;
    w.invocation.verbose |= key == Key::verbose;
    w.help |= key == Key::help;
    w.version |= key == Key::version;
}

// Our own help text serves --help: Qt's would be English and list no values.
void describe(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionInfo& o : kOptions) {
        QStringList names{text_of(o.name)};
        if (!o.short_name.empty()) {
            names << text_of(o.short_name);
        }
        parser.addOption(QCommandLineOption(names, {}, text_of(o.value_name)));
    }
}

// The option an argument names, as "--port", "-port", "--port=5" or "-h".
const OptionInfo* option_in(const QString& argument) {
    if (!argument.startsWith(QLatin1Char('-'))) {
        return nullptr;
    }
    QString name = argument.section(QLatin1Char('='), 0, 0);
    name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
    const auto* o = std::find_if(kOptions.begin(), kOptions.end(), [&](const OptionInfo& x) {
        return name == text_of(x.name) || (!x.short_name.empty() && name == text_of(x.short_name));
    });
    return o == kOptions.end() ? nullptr : o;
}

// Qt tells why parsing failed only in English words; the arguments themselves show
// which of its three faults it was.
std::string parse_fault(const QCommandLineParser& parser, const QStringList& arguments) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        const std::string name = unknown.first().toStdString();
        return "没有选项" + echo(name.size() == 1 ? "-" + name : dashed(name));
    }
    for (const QString& arg : arguments.mid(1)) {
        if (arg == QLatin1String("--")) {
            break;
        }
        const OptionInfo* o = option_in(arg);
        if (o && o->value_name.empty() && arg.contains(QLatin1Char('='))) {
            return "选项 " + dashed(o->name) + " 不带取值";
        }
    }
    const OptionInfo* last = option_in(arguments.last());
    return "选项 " + (last ? dashed(last->name) : echo(arguments.last().toStdString())) +
           " 缺少取值";
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
    if (const auto* fault = std::get_if<SettingFault>(&setting)) {
        return setting_fault_words(*fault);
    }
    const auto address = static_cast<std::uint8_t>(w.address.value_or(1));
    return SendOne{PlanStep{0, address, std::get<protocol::Request>(setting), {}, {}}};
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
        for (int a = 0; a <= kLastAddress; ++a) {
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
    if (w.positional.empty()) {
        return std::string("缺少命令：mode、power-on、line、apply、scan 或 ports");
    }
    const bool scan = same_word(w.positional.front(), "scan");
    if (!scan && (w.every_rate || w.every_parity || w.addresses)) {
        return std::string("--baud all、--parity all 和 --addresses 只用于 scan");
    }
    if (scan) {
        if (w.positional.size() != 1 || w.channel || w.address) {
            return std::string(
                "scan 不带参数、--address 或 --channel：用 --addresses 指定地址范围");
        }
        return scan_command(w);
    }
    const std::string_view word = w.positional.front();
    const std::size_t extra = w.positional.size() - 1;
    if (same_word(word, "ports")) {
        if (extra != 0 || w.channel || w.address) {
            return std::string("ports 只列出串口号，不带参数、--address 或 --channel");
        }
        return ListPorts{};
    }
    if (same_word(word, "apply")) {
        if (w.channel || w.address) {
            return std::string("apply 不带 --address 或 --channel：计划文件每行自带地址和通道");
        }
        if (extra != 1) {
            return std::string("apply 需要一个计划文件（或用 - 表示标准输入）");
        }
        return ApplyPlan{w.positional[1]};
    }
    if (const auto* kind = find_kind(word)) {
        return setting_command(w, kind->value);
    }
    return echo(word) + "不是命令，可用：mode、power-on、line、apply、scan、ports";
}

// Every option's values in table order; the first that does not fit is the error.
std::optional<std::string> take_options(const QCommandLineParser& parser, Words& w) {
    for (const OptionInfo& o : kOptions) {
        const QString name = text_of(o.name);
        if (!parser.isSet(name)) {
            continue;
        }
        if (o.value_name.empty()) {
            set_switch(w, o.key);
            continue;
        }
        // Each value given is checked; the last one counts.
        for (const QString& value : parser.values(name)) {
            if (auto error = take_value(w, o, value.toStdString())) {
                return error;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::variant<Invocation, UsageError> parse_invocation(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments)) {
        return UsageError{parse_fault(parser, arguments)};
    }
    Words words;
    if (auto error = take_options(parser, words)) {
        return UsageError{std::move(*error)};
    }
    for (const QString& arg : parser.positionalArguments()) {
        words.positional.push_back(arg.toStdString());
    }
    auto command = command_of(words);
    if (auto* message = std::get_if<std::string>(&command)) {
        return UsageError{std::move(*message)};
    }
    words.invocation.command = std::get<Command>(command);
    return words.invocation;
}

}  // namespace tarvok::cli
