#include "sim/cli_options.h"

#include <algorithm>
#include <array>
#include <climits>
#include <optional>

#include "protocol/number_text.h"
#include "protocol/request.h"
#include "protocol/tables.h"

namespace tarvok::sim {

namespace {

enum class Key {
    port,
    address,
    module,
    baud,
    delay,
    fail,
    corrupt,
    no_reply,
    split,
    garbage,
    pace,
    echo,
    trickle,
    twice,
    drop,
    seed,
    help,
    version
};

struct OptionInfo {
    std::string_view name;
    Key key;
    bool takes_value;
};

constexpr std::array<OptionInfo, 19> kOptions = {{
    {"--port", Key::port, true},
    {"--address", Key::address, true},
    {"--module", Key::module, true},
    {"--baud", Key::baud, true},
    {"--delay", Key::delay, true},
    {"--fail", Key::fail, false},
    {"--corrupt-checksum", Key::corrupt, false},
    {"--no-reply", Key::no_reply, false},
    {"--split", Key::split, false},
    {"--garbage", Key::garbage, false},
    {"--pace", Key::pace, false},
    {"--echo", Key::echo, false},
    {"--trickle", Key::trickle, true},
    {"--twice", Key::twice, true},
    {"--drop", Key::drop, true},
    {"--seed", Key::seed, true},
    {"--help", Key::help, false},
    {"-h", Key::help, false},
    {"--version", Key::version, false},
}};

// The options while they are read: a group without a rate of its own keeps 0 until
// every --baud has been seen.
struct Draft {
    Options options;
    std::vector<ModuleGroup> groups;
    std::vector<std::string> sources;      // each group as typed, for refusals
    std::optional<std::size_t> shorthand;  // the --address group's place
    std::uint32_t baud = 9600;
};

const OptionInfo* find_option(std::string_view name) {
    const auto* it = std::find_if(kOptions.begin(), kOptions.end(),
                                  [name](const auto& o) { return o.name == name; });
    return it == kOptions.end() ? nullptr : it;
}

std::string bad_value(std::string_view name, std::string_view value, std::string_view expected) {
    return std::string(name) + " 的取值“" + std::string(value) + "”无效：应为 " +
           std::string(expected);
}

std::string bad_part(std::string_view name, std::string_view value, std::string_view part,
                     std::string_view expected) {
    return std::string(name) + " 的取值“" + std::string(value) + "”中的" + std::string(part) +
           "无效：应为 " + std::string(expected);
}

std::string parity_words() {
    std::string aliases;
    std::string names;
    for (const auto& p : protocol::kParities) {
        aliases += (aliases.empty() ? "" : "、") + std::string(p.alias);
        names += (names.empty() ? "" : "、") + std::string(p.name);
    }
    return aliases + " 或 " + names;
}

std::optional<std::string> set_port(Options& o, std::string_view name, std::string_view v) {
    if (v == "auto") {
        o.port = kFirstFreePort;
    } else if (const auto n = protocol::whole_number(v, 1, kMaxPort)) {
        o.port = static_cast<int>(*n);
    } else {
        return bad_value(name, v, "1 到 " + std::to_string(kMaxPort) + " 的整数，或 auto");
    }
    return std::nullopt;
}

// Milliseconds into `field`; a refusal naming the option otherwise.
template <typename Field>
std::optional<std::string> set_ms(Field& field, std::string_view name, std::string_view v) {
    if (const auto n = protocol::whole_number(v, 0, kMaxDelayMs)) {
        field = static_cast<int>(*n);
        return std::nullopt;
    }
    return bad_value(name, v, "0 到 " + std::to_string(kMaxDelayMs) + " 的整数（毫秒）");
}

std::optional<std::string> set_address(Draft& d, std::string_view name, std::string_view v) {
    auto list = protocol::address_list(v);
    if (!list) {
        return bad_value(name, v, "0 到 255 的地址，或地址列表，如 1-8,12");
    }
    if (!d.shorthand) {
        d.shorthand = d.groups.size();
        d.groups.push_back({});
        d.sources.emplace_back();
    }
    d.groups[*d.shorthand] = {std::move(*list), LineSetting{0}};
    d.sources[*d.shorthand] = std::string(name) + " " + std::string(v);
    return std::nullopt;
}

std::optional<std::string> set_module(Draft& d, std::string_view name, std::string_view v) {
    auto parsed = parse_module_group(v);
    if (auto* group = std::get_if<ModuleGroup>(&parsed)) {
        d.groups.push_back(std::move(*group));
        d.sources.push_back(std::string(name) + " " + std::string(v));
        return std::nullopt;
    }
    switch (std::get<GroupError>(parsed)) {
    case GroupError::addresses:
        break;
    case GroupError::baud:
        return bad_part(name, v, "波特率", protocol::baud_list_text() + " 之一");
    case GroupError::parity:
        return bad_part(name, v, "校验位", parity_words());
    }
    return bad_value(name, v, "地址列表，可带波特率和校验位，如 1-3、7@19200 或 7@19200/even");
}

std::optional<std::string> set_baud(Draft& d, std::string_view name, std::string_view v) {
    if (const auto baud = parse_baud(v)) {
        d.baud = *baud;
        return std::nullopt;
    }
    return bad_value(name, v, protocol::baud_list_text() + " 之一");
}

std::optional<std::string> set_drop(ReplyFaults& f, std::string_view name, std::string_view v) {
    if (const auto n = protocol::whole_number(v, 0, 100)) {
        f.drop_percent = static_cast<int>(*n);
        return std::nullopt;
    }
    return bad_value(name, v, "0 到 100 的整数（百分比）");
}

std::optional<std::string> set_seed(Options& o, std::string_view name, std::string_view v) {
    if (const auto n = protocol::whole_number(v, 0, UINT32_MAX)) {
        o.faults.seed = *n;
        o.seed_given = true;
        return std::nullopt;
    }
    return bad_value(name, v, "0 到 " + std::to_string(UINT32_MAX) + " 的整数");
}

// Stores one option; an error message when its value does not fit.
std::optional<std::string> set_option(Draft& d, const OptionInfo& info, std::string_view v) {
    auto& o = d.options;
    switch (info.key) {
    case Key::port:
        return set_port(o, info.name, v);
    case Key::address:
        return set_address(d, info.name, v);
    case Key::module:
        return set_module(d, info.name, v);
    case Key::baud:
        return set_baud(d, info.name, v);
    case Key::delay:
        return set_ms(o.faults.delay_ms, info.name, v);
    case Key::trickle:
        return set_ms(o.faults.trickle_ms, info.name, v);
    case Key::twice:
        return set_ms(o.faults.twice_ms.emplace(), info.name, v);
    case Key::drop:
        return set_drop(o.faults, info.name, v);
    case Key::seed:
        return set_seed(o, info.name, v);
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
    case Key::echo:
        o.echo = true;
        break;
    case Key::help:
    case Key::version:
        break;
    }
    return std::nullopt;
}

// The bus once every option is in: rates filled in, no address in two groups.
ParsedOptions finish(Draft d) {
    if (d.groups.empty()) {
        d.groups.push_back({{1}, LineSetting{0}});
    }
    for (auto& group : d.groups) {
        group.line.baud = group.line.baud == 0 ? d.baud : group.line.baud;
    }
    if (const auto overlap = find_overlap(d.groups)) {
        return OptionError{"地址 " + std::to_string(overlap->address) + " 同时出现在“" +
                           d.sources[overlap->first] + "”与“" + d.sources[overlap->second] +
                           "”中：每个地址只能属于一组 --module 或 --address"};
    }
    d.options.groups = std::move(d.groups);
    return d.options;
}

}  // namespace

ParsedOptions parse_options(std::span<const std::string_view> args) {
    Draft draft;
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
        if (auto error = set_option(draft, *info, value)) {
            return OptionError{*error};
        }
    }
    return finish(std::move(draft));
}

}  // namespace tarvok::sim
