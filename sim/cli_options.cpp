#include "sim/cli_options.h"

#include <algorithm>
#include <array>
#include <optional>

#include "protocol/number_text.h"
#include "protocol/request.h"

namespace tarvok::sim {

namespace {

enum class Key {
    port,
    address,
    baud,
    delay,
    fail,
    corrupt,
    no_reply,
    split,
    garbage,
    pace,
    help,
    version
};

struct OptionInfo {
    std::string_view name;
    Key key;
    bool takes_value;
};

constexpr std::array<OptionInfo, 13> kOptions = {{
    {"--port", Key::port, true},
    {"--address", Key::address, true},
    {"--baud", Key::baud, true},
    {"--delay", Key::delay, true},
    {"--fail", Key::fail, false},
    {"--corrupt-checksum", Key::corrupt, false},
    {"--no-reply", Key::no_reply, false},
    {"--split", Key::split, false},
    {"--garbage", Key::garbage, false},
    {"--pace", Key::pace, false},
    {"--help", Key::help, false},
    {"-h", Key::help, false},
    {"--version", Key::version, false},
}};

const OptionInfo* find_option(std::string_view name) {
    const auto* it = std::find_if(kOptions.begin(), kOptions.end(),
                                  [name](const auto& o) { return o.name == name; });
    return it == kOptions.end() ? nullptr : it;
}

std::optional<long> whole_number(std::string_view text, long low, long high) {
    const auto value = protocol::whole_number(text, static_cast<std::uint32_t>(low),
                                              static_cast<std::uint32_t>(high));
    return value ? std::optional<long>(*value) : std::nullopt;
}

std::string bad_value(std::string_view name, std::string_view value, std::string_view expected) {
    return std::string(name) + " 的取值“" + std::string(value) + "”无效：应为 " +
           std::string(expected);
}

bool known_baud(long baud) {
    return std::any_of(protocol::kBaudCodes.begin(), protocol::kBaudCodes.end(),
                       [baud](const auto& e) { return e.baud == baud; });
}

std::optional<std::string> set_port(Options& o, std::string_view name, std::string_view v) {
    if (v == "auto") {
        o.port = kFirstFreePort;
    } else if (const auto n = whole_number(v, 1, kMaxPort)) {
        o.port = static_cast<int>(*n);
    } else {
        return bad_value(name, v, "1 到 " + std::to_string(kMaxPort) + " 的整数，或 auto");
    }
    return std::nullopt;
}

// Stores one option; an error message when its value does not fit.
std::optional<std::string> set_option(Options& o, const OptionInfo& info, std::string_view v) {
    switch (info.key) {
    case Key::port:
        return set_port(o, info.name, v);
    case Key::address:
        if (auto list = parse_address_list(v)) {
            o.addresses = std::move(*list);
            return std::nullopt;
        }
        return bad_value(info.name, v, "0 到 255 的地址，或地址列表，如 1-8,12");
    case Key::baud:
        if (const auto n = whole_number(v, 1, 4'000'000); n && known_baud(*n)) {
            o.baud = static_cast<std::uint32_t>(*n);
            return std::nullopt;
        }
        return bad_value(info.name, v, protocol::baud_list_text() + " 之一");
    case Key::delay:
        if (const auto n = whole_number(v, 0, kMaxDelayMs)) {
            o.faults.delay_ms = static_cast<int>(*n);
            return std::nullopt;
        }
        return bad_value(info.name, v, "0 到 " + std::to_string(kMaxDelayMs) + " 的整数（毫秒）");
    case Key::fail:
        o.fail = true;
        break;
    case Key::corrupt:
        o.faults.corrupt_checksum = true;
        break;
    case Key::no_reply:
        o.faults.no_reply = true;
        break;
    case Key::split:
        o.faults.split = true;
        break;
    case Key::garbage:
        o.faults.garbage = true;
        break;
    case Key::pace:
        o.faults.pace = true;
        break;
    case Key::help:
    case Key::version:
        break;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> parse_address_list(std::string_view text) {
    std::array<bool, 256> on{};
    while (true) {
        const auto comma = text.find(',');
        const std::string_view part = text.substr(0, comma);
        const auto dash = part.find('-');
        const auto first = whole_number(part.substr(0, dash), 0, 255);
        const auto last =
            dash == std::string_view::npos ? first : whole_number(part.substr(dash + 1), 0, 255);
        if (!first || !last || *last < *first) {
            return std::nullopt;
        }
        std::fill(on.begin() + *first, on.begin() + *last + 1, true);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    std::vector<std::uint8_t> addresses;
    for (std::size_t a = 0; a < on.size(); ++a) {
        if (on[a]) {
            addresses.push_back(static_cast<std::uint8_t>(a));
        }
    }
    return addresses;
}

std::string address_list_text(const std::vector<std::uint8_t>& addresses) {
    std::string text;
    for (std::size_t i = 0; i < addresses.size();) {
        std::size_t j = i;
        while (j + 1 < addresses.size() && addresses[j + 1] == addresses[j] + 1) {
            ++j;
        }
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(addresses[i]);
        if (j > i) {
            text += '-';
            text += std::to_string(addresses[j]);
        }
        i = j + 1;
    }
    return text;
}

ParsedOptions parse_options(std::span<const std::string_view> args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const auto eq = arg.find('=');
        const std::string_view name = arg.substr(0, eq);
        const auto* info = find_option(name);
        if (!info) {
            return OptionError{arg.starts_with("-")
                                   ? "未知选项：" + std::string(name) + "（用 --help 查看可用选项）"
                                   : "多余的参数：" + std::string(arg)};
        }
        if (!info->takes_value && eq != std::string_view::npos) {
            return OptionError{"选项 " + std::string(name) + " 不带取值"};
        }
        if (info->key == Key::help) {
            return HelpRequested{};
        }
        if (info->key == Key::version) {
            return VersionRequested{};
        }
        std::string_view value;
        if (eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
        } else if (info->takes_value && i + 1 < args.size()) {
            value = args[++i];
        } else if (info->takes_value) {
            return OptionError{"选项 " + std::string(name) + " 缺少取值"};
        }
        if (auto error = set_option(options, *info, value)) {
            return OptionError{*error};
        }
    }
    return options;
}

std::string help_text() {
    return "用法：tarvok-sim [选项]\n"
           "在伪终端上模拟一条总线上的继电器模块，并登记为 tarvok 的端口 N\n"
           "（$XDG_CONFIG_HOME/tarvok/ports/comN，未设置或不是绝对路径时为\n"
           " ~/.config/tarvok/ports/comN；旁边的 comN.owner 表明链接归本程序所有）。\n"
           "\n"
           "  --port N|auto       登记为端口 N（1–255），默认 1；auto 取第一个空闲的端口号\n"
           "  --address LIST      模块地址（0–255），可列多个：1-8,12；默认 1\n"
           "  --baud B            模块初始波特率：" +
           protocol::baud_list_text() +
           "，默认 9600\n"
           "  --pace              按真实线路的时间应答：命令与应答 16 字节的传输时间\n"
           "                      （每字节 10 位，有校验时 11 位）再加 3 ms 转换时间\n"
           "  --delay MS          应答前再等待 MS 毫秒（0–60000）\n"
           "  --fail              一律答失败，命令不执行\n"
           "  --corrupt-checksum  应答的校验和改坏（最后一字节加 1）\n"
           "  --no-reply          命令照常执行，但不发应答\n"
           "  --split             应答分两段发送（3 + 5 字节，中间停 30 ms）\n"
           "  --garbage           应答前先发几个干扰字节\n"
           "  -h, --help          显示本说明\n"
           "  --version           显示版本\n"
           "\n"
           "运行中：输入 s 或“状态”并回车（或发送 SIGUSR1）打印每块模块的状态；\n"
           "Ctrl-C、SIGTERM 等退出，并移除端口链接。\n"
           "只在主机的线路速率与模块自身波特率一致时应答；校验位在伪终端上无法体现，只作记录。\n"
           "退出码：0 正常停止，1 无法建立伪终端或端口链接，2 选项有误。\n";
}

std::string version_text() { return std::string("tarvok-sim ") + TARVOK_VERSION + "\n"; }

}  // namespace tarvok::sim
