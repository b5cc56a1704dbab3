#include "sim/cli_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "protocol/tables.h"

namespace tarvok::sim {

namespace {

enum class Key { port, address, baud, delay, fail, corrupt, no_reply, split, garbage, help };

struct OptionInfo {
    std::string_view name;
    Key key;
    bool takes_value;
};

constexpr std::array<OptionInfo, 10> kOptions = {{
    {"--port", Key::port, true},
    {"--address", Key::address, true},
    {"--baud", Key::baud, true},
    {"--delay", Key::delay, true},
    {"--fail", Key::fail, false},
    {"--corrupt-checksum", Key::corrupt, false},
    {"--no-reply", Key::no_reply, false},
    {"--split", Key::split, false},
    {"--garbage", Key::garbage, false},
    {"--help", Key::help, false},
}};

const OptionInfo* find_option(std::string_view name) {
    const auto* it = std::find_if(kOptions.begin(), kOptions.end(),
                                  [name](const auto& o) { return o.name == name; });
    return it == kOptions.end() ? nullptr : it;
}

std::optional<long> whole_number(std::string_view text, long low, long high) {
    long value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::string bad_value(std::string_view name, std::string_view value, std::string_view expected) {
    return std::string(name) + " 的取值“" + std::string(value) + "”无效：应为 " +
           std::string(expected);
}

std::string baud_list() {
    std::string list;
    for (const auto& entry : protocol::kBaudCodes) {
        list += (list.empty() ? "" : "、") + std::to_string(entry.baud);
    }
    return list;
}

// Stores one option's value; an error message when it does not fit.
std::optional<std::string> set_value(Options& o, const OptionInfo& info, std::string_view v) {
    switch (info.key) {
    case Key::port:
        if (const auto n = whole_number(v, 1, kMaxPort)) {
            o.port = static_cast<int>(*n);
            return std::nullopt;
        }
        return bad_value(info.name, v, "1 到 " + std::to_string(kMaxPort) + " 的整数");
    case Key::address:
        if (const auto n = whole_number(v, 0, 255)) {
            o.address = static_cast<std::uint8_t>(*n);
            return std::nullopt;
        }
        return bad_value(info.name, v, "0 到 255 的整数");
    case Key::baud: {
        const auto n = whole_number(v, 1, 4'000'000);
        const bool known =
            n && std::any_of(protocol::kBaudCodes.begin(), protocol::kBaudCodes.end(),
                             [&n](const auto& e) { return e.baud == *n; });
        if (known) {
            o.baud = static_cast<std::uint32_t>(*n);
            return std::nullopt;
        }
        return bad_value(info.name, v, baud_list() + " 之一");
    }
    case Key::delay:
        if (const auto n = whole_number(v, 0, kMaxDelayMs)) {
            o.faults.delay_ms = static_cast<int>(*n);
            return std::nullopt;
        }
        return bad_value(info.name, v, "0 到 " + std::to_string(kMaxDelayMs) + " 的整数（毫秒）");
    default:
        return std::nullopt;
    }
}

void set_flag(Options& o, Key key) {
    switch (key) {
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
    default:
        break;
    }
}

}  // namespace

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
        if (info->key == Key::help) {
            return HelpRequested{};
        }
        if (!info->takes_value) {
            if (eq != std::string_view::npos) {
                return OptionError{"选项 " + std::string(name) + " 不带取值"};
            }
            set_flag(options, info->key);
            continue;
        }
        std::string_view value;
        if (eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return OptionError{"选项 " + std::string(name) + " 缺少取值"};
        }
        if (auto error = set_value(options, *info, value)) {
            return OptionError{*error};
        }
    }
    return options;
}

std::string help_text() {
    return "用法：tarvok-sim [选项]\n"
           "在伪终端上模拟一块继电器模块，并登记为 tarvok 的端口 N\n"
           "（$XDG_CONFIG_HOME/tarvok/ports/comN，未设置时为 ~/.config/tarvok/ports/comN）。\n"
           "\n"
           "  --port N            登记为端口 N（1–255），默认 1\n"
           "  --address A         模块地址（0–255），默认 1\n"
           "  --baud B            模块初始波特率：" +
           baud_list() +
           "，默认 9600\n"
           "  --delay MS          应答前等待 MS 毫秒（0–60000）\n"
           "  --fail              一律答失败，命令不执行\n"
           "  --corrupt-checksum  应答的校验和改坏（最后一字节加 1）\n"
           "  --no-reply          命令照常执行，但不发应答\n"
           "  --split             应答分两段发送（3 + 5 字节，中间停 30 ms）\n"
           "  --garbage           应答前先发几个干扰字节\n"
           "  --help              显示本说明\n"
           "\n"
           "运行中：输入 s 或“状态”并回车（或发送 SIGUSR1）打印模块状态；\n"
           "Ctrl-C 或 SIGTERM 退出，并移除端口链接。\n"
           "只在主机的线路速率与模块自身波特率一致时应答；校验位在伪终端上无法体现，只作记录。\n";
}

}  // namespace tarvok::sim
