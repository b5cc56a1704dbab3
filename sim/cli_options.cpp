#include "sim/cli_options.h"

#include <array>
#include <climits>
#include <optional>

#include "cmdline/parse.h"
#include "protocol/number_text.h"

namespace tarvok::sim {

namespace {

using cmdline::Allowed;
using cmdline::Error;
using cmdline::Expect;
using cmdline::Fault;
using cmdline::Once;
using cmdline::Unit;

// In the order of kOptions.
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

constexpr std::array<cmdline::Option, 18> kOptions = {{
    {"port", true},
    {"address", true},
    {"module", true},
    {"baud", true},
    {"delay", true},
    {"fail", false},
    {"corrupt-checksum", false},
    {"no-reply", false},
    {"split", false},
    {"garbage", false},
    {"pace", false},
    {"echo", false},
    {"trickle", true},
    {"twice", true},
    {"drop", true},
    {"seed", true},
    {"help", false, "h"},
    {"version", false},
}};

constexpr Allowed kPorts{Expect::number, 1, kMaxPort, Unit::port, "auto"};
constexpr Allowed kMilliseconds{Expect::number, 0, kMaxDelayMs, Unit::milliseconds};
constexpr Allowed kPercent{Expect::number, 0, 100, Unit::percent};
constexpr Allowed kSeeds{Expect::number, 0, UINT32_MAX};

// The options while they are read: a group without a rate of its own keeps 0 until
// every option has been seen.
struct Draft {
    Options options;
    std::vector<ModuleGroup> groups;
    std::vector<std::string> sources;  // each group as typed, for refusals
    Once<std::vector<std::uint8_t>> address;
    Once<std::uint32_t> port;
    Once<std::uint32_t> baud;
    Once<std::uint32_t> delay;
    Once<std::uint32_t> trickle;
    Once<std::uint32_t> twice;
    Once<std::uint32_t> drop;
    Once<std::uint32_t> seed;
};

Error bad(std::string_view name, std::string_view value, Expect expect,
          Fault fault = Fault::bad_value) {
    return Error{fault, std::string(name), std::string(value), {}, Allowed{expect}};
}

std::optional<Error> set_port(Draft& d, std::string_view name, std::string_view v) {
    if (cmdline::same_word(v, "auto")) {
        return d.port.set(name, v, kFirstFreePort);
    }
    return cmdline::set_number(d.port, name, v, kPorts);
}

std::optional<Error> set_address(Draft& d, std::string_view name, std::string_view v) {
    auto list = protocol::address_list(v);
    if (!list) {
        return bad(name, v, Expect::address_list);
    }
    const bool first = !d.address.get();
    if (auto error = d.address.set(name, v, *list)) {
        return error;
    }
    if (first) {
        d.groups.push_back({std::move(*list), LineSetting{0}});
        d.sources.push_back(std::string(name) + " " + std::string(v));
    }
    return std::nullopt;
}

std::optional<Error> set_module(Draft& d, std::string_view name, std::string_view v) {
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
        return bad(name, v, Expect::group_rate, Fault::bad_part);
    case GroupError::parity:
        return bad(name, v, Expect::group_parity, Fault::bad_part);
    }
    return bad(name, v, Expect::module_group);
}

std::optional<Error> set_baud(Draft& d, std::string_view name, std::string_view v) {
    if (const auto baud = cmdline::rate(v)) {
        return d.baud.set(name, v, *baud);
    }
    return bad(name, v, Expect::rate);
}

// Stores one option; the error when its value does not fit.
std::optional<Error> set_option(Draft& d, Key key, std::string_view name, std::string_view v) {
    auto& o = d.options;
    switch (key) {
    case Key::port:
        return set_port(d, name, v);
    case Key::address:
        return set_address(d, name, v);
    case Key::module:
        return set_module(d, name, v);
    case Key::baud:
        return set_baud(d, name, v);
    case Key::delay:
        return cmdline::set_number(d.delay, name, v, kMilliseconds);
    case Key::trickle:
        return cmdline::set_number(d.trickle, name, v, kMilliseconds);
    case Key::twice:
        return cmdline::set_number(d.twice, name, v, kMilliseconds);
    case Key::drop:
        return cmdline::set_number(d.drop, name, v, kPercent);
    case Key::seed:
        return cmdline::set_number(d.seed, name, v, kSeeds);
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

// The numbers once every option is in.
void take_numbers(Draft& d) {
    auto& o = d.options;
    const auto as_int = [](const Once<std::uint32_t>& once, int fallback) {
        return once.get() ? static_cast<int>(*once.get()) : fallback;
    };
    o.port = as_int(d.port, o.port);
    o.faults.delay_ms = as_int(d.delay, o.faults.delay_ms);
    o.faults.trickle_ms = as_int(d.trickle, o.faults.trickle_ms);
    if (d.twice.get()) {
        o.faults.twice_ms = static_cast<int>(*d.twice.get());
    }
    o.faults.drop_percent = as_int(d.drop, o.faults.drop_percent);
    if (d.seed.get()) {
        o.faults.seed = *d.seed.get();
        o.seed_given = true;
    }
}

// The bus once every option is in: rates filled in, no address in two groups.
ParsedOptions finish(Draft d) {
    take_numbers(d);
    if (d.groups.empty()) {
        d.groups.push_back({{1}, LineSetting{0}});
    }
    const std::uint32_t baud = d.baud.get().value_or(LineSetting{}.baud);
    for (auto& group : d.groups) {
        group.line.baud = group.line.baud == 0 ? baud : group.line.baud;
    }
    if (const auto overlap = find_overlap(d.groups)) {
        return Error{Fault::shared_address,
                     d.sources[overlap->first],
                     std::to_string(overlap->address),
                     d.sources[overlap->second],
                     {}};
    }
    d.options.groups = std::move(d.groups);
    return d.options;
}

}  // namespace

ParsedOptions parse_options(std::span<const std::string> args) {
    auto parsed = cmdline::parse(kOptions, args);
    if (auto* error = std::get_if<Error>(&parsed)) {
        return std::move(*error);
    }
    const auto& given = std::get<cmdline::Arguments>(parsed);
    if (cmdline::asks(given, static_cast<std::size_t>(Key::help))) {
        return HelpRequested{};
    }
    if (cmdline::asks(given, static_cast<std::size_t>(Key::version))) {
        return VersionRequested{};
    }
    if (!given.positional.empty()) {
        return Error{Fault::extra_argument, {}, given.positional.front(), {}, {}};
    }
    Draft draft;
    for (const auto& [index, value] : given.options) {
        if (auto error = set_option(draft, static_cast<Key>(index),
                                    cmdline::dashed(kOptions.at(index)), value)) {
            return std::move(*error);
        }
    }
    return finish(std::move(draft));
}

}  // namespace tarvok::sim
