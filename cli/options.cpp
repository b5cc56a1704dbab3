#include "cli/options.h"

#include <array>
#include <vector>

#include "cmdline/parse.h"
#include "plan/plan_words.h"
#include "plan/setting_words.h"
#include "protocol/number_text.h"
#include "serial/port_number.h"

namespace tarvok::cli {

using namespace plan;  // the words of settings

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
    record,
    help,
    version
};

constexpr std::array<cmdline::Option, 16> kOptions = {{
    {"port", true},
    {"baud", true},
    {"parity", true},
    {"address", true},
    {"channel", true},
    {"timeout", true},
    {"retries", true},
    {"strict", false},
    {"lenient", false},
    {"follow", false},
    {"addresses", true},
    {"json", false},
    {"verbose", false},
    {"record", true},
    {"help", false, "h"},
    {"version", false},
}};

constexpr Allowed kPorts{Expect::number, serial::kFirstPort, serial::kLastPort, Unit::port};
constexpr Allowed kAddresses{Expect::number, 0, kLastAddress};
constexpr Allowed kTimeouts{Expect::number, 1, kMaxTimeoutMs, Unit::milliseconds};
constexpr Allowed kRetries{Expect::number, 0, kMaxRetries};

// What the arguments say before they are put together into an invocation.
struct Words {
    Once<std::uint32_t> port;
    Once<std::uint32_t> baud;                      // 0: every rate, for scan
    Once<std::optional<protocol::Parity>> parity;  // none: every parity, for scan
    Once<std::uint32_t> address;
    Once<std::string> channel;
    Once<std::uint32_t> timeout;
    Once<std::uint32_t> retries;
    Once<std::vector<std::uint8_t>> addresses;
    Once<std::string> record;
    std::array<bool, kOptions.size()> switches{};
    std::vector<std::string> positional;

    [[nodiscard]] bool given(Key key) const { return switches.at(static_cast<std::size_t>(key)); }
    [[nodiscard]] bool every_rate() const { return baud.get() == 0U; }
    [[nodiscard]] bool every_parity() const { return parity.get() && !parity.get()->has_value(); }
};

Error bad(std::string_view name, std::string_view value, Expect expect) {
    return Error{Fault::bad_value, std::string(name), std::string(value), {}, Allowed{expect}};
}

std::optional<Error> set_baud(Words& w, std::string_view name, std::string_view v) {
    if (cmdline::same_word(v, "all")) {
        return w.baud.set(name, v, 0);
    }
    if (const auto baud = cmdline::rate(v)) {
        return w.baud.set(name, v, *baud);
    }
    return bad(name, v, Expect::rate);
}

std::optional<Error> set_parity(Words& w, std::string_view name, std::string_view v) {
    if (cmdline::same_word(v, "all")) {
        return w.parity.set(name, v, std::nullopt);
    }
    if (const auto* parity = cmdline::find_word(protocol::kParities, v)) {
        return w.parity.set(name, v, parity->value);
    }
    return bad(name, v, Expect::parity);
}

std::optional<Error> set_addresses(Words& w, std::string_view name, std::string_view v) {
    if (auto list = protocol::address_list(v)) {
        return w.addresses.set(name, v, std::move(*list));
    }
    return bad(name, v, Expect::address_list);
}

// Stores an option's value; the error when it does not fit, or differs from the one
// given before.
std::optional<Error> take_value(Words& w, Key key, std::string_view name, std::string_view v) {
    w.switches.at(static_cast<std::size_t>(key)) = true;
    switch (key) {
    case Key::port:
        return cmdline::set_number(w.port, name, v, kPorts);
    case Key::address:
        return cmdline::set_number(w.address, name, v, kAddresses);
    case Key::timeout:
        return cmdline::set_number(w.timeout, name, v, kTimeouts);
    case Key::retries:
        return cmdline::set_number(w.retries, name, v, kRetries);
    case Key::baud:
        return set_baud(w, name, v);
    case Key::parity:
        return set_parity(w, name, v);
    case Key::channel:
        return w.channel.set(name, v, std::string(v));  // checked with its setting
    case Key::addresses:
        return set_addresses(w, name, v);
    case Key::record:
        if (v.empty()) {
            return Error{Fault::missing_value, std::string(name), {}, {}, {}};
        }
        return w.record.set(name, v, std::string(v));
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

using Built = std::variant<Command, UsageError>;

UsageError command_error(CommandFault fault, std::string word = {}) {
    return UsageError{CommandError{fault, std::move(word)}};
}

Built setting_command(const Words& w, Kind kind) {
    const std::string name(protocol::name_in(kKinds, kind));
    std::vector<std::string_view> args(w.positional.begin() + 1, w.positional.end());
    if (takes_channel(kind)) {
        if (!w.channel.get()) {
            return command_error(CommandFault::channel_missing, name);
        }
        args.insert(args.begin(), *w.channel.get());
    } else if (w.channel.get()) {
        return command_error(CommandFault::channel_not_taken, name);
    }
    auto setting = setting_from(kind, args);
    if (const auto* fault = std::get_if<SettingFault>(&setting)) {
        return UsageError{setting_fault_words(*fault)};
    }
    const auto address = static_cast<std::uint8_t>(w.address.get().value_or(1));
    return SendOne{PlanStep{0, address, std::get<protocol::Request>(setting), {}, {}}};
}

Command scan_command(const Words& w, const RunConfig& run) {
    ScanBus scan;
    if (!w.every_rate()) {
        scan.baud = run.line.baud;
    }
    if (!w.every_parity()) {
        scan.parity = run.line.parity;
    }
    scan.retries = w.retries.get() ? run.retries : 0;
    if (w.addresses.get()) {
        scan.addresses = *w.addresses.get();
    } else {
        for (int a = 0; a <= kLastAddress; ++a) {
            scan.addresses.push_back(static_cast<std::uint8_t>(a));
        }
    }
    return scan;
}

Built command_of(const Words& w, const RunConfig& run) {
    if (w.positional.empty()) {
        return command_error(CommandFault::missing_command);
    }
    const std::string_view word = w.positional.front();
    const bool targets = w.channel.get() || w.address.get();
    const bool sends = !same_word(word, "scan") && !same_word(word, "ports");
    if (w.record.get() && !sends) {
        return command_error(CommandFault::record_not_taken);
    }
    if (same_word(word, "scan")) {
        if (w.positional.size() != 1 || targets) {
            return command_error(CommandFault::scan_arguments);
        }
        return scan_command(w, run);
    }
    if (w.every_rate() || w.every_parity() || w.addresses.get()) {
        return command_error(CommandFault::only_for_scan);
    }
    const std::size_t extra = w.positional.size() - 1;
    if (same_word(word, "ports")) {
        if (extra != 0 || targets) {
            return command_error(CommandFault::ports_arguments);
        }
        return ListPorts{};
    }
    if (same_word(word, "apply")) {
        if (targets) {
            return command_error(CommandFault::apply_target);
        }
        if (extra != 1) {
            return command_error(CommandFault::apply_plan);
        }
        return ApplyPlan{w.positional[1]};
    }
    if (const auto* kind = find_kind(word)) {
        return setting_command(w, kind->value);
    }
    return command_error(CommandFault::unknown_command, std::string(word));
}

// The line, the waiting and the switches, once every option is in.
std::variant<Invocation, UsageError> invocation_of(const Words& w) {
    if (w.given(Key::strict) && w.given(Key::lenient)) {
        return UsageError{Error{Fault::contradiction, "--strict", {}, "--lenient", {}}};
    }
    Invocation invocation;
    RunConfig& run = invocation.run;
    run.port = static_cast<int>(w.port.get().value_or(run.port));
    if (!w.every_rate()) {
        run.line.baud = w.baud.get().value_or(run.line.baud);
    }
    if (!w.every_parity()) {
        run.line.parity = w.parity.get().value_or(run.line.parity).value_or(run.line.parity);
    }
    if (w.timeout.get()) {
        run.timeout_ms = static_cast<int>(*w.timeout.get());
    }
    run.retries = static_cast<int>(w.retries.get().value_or(run.retries));
    run.lenient = w.given(Key::lenient);
    run.follow = w.given(Key::follow);
    invocation.json = w.given(Key::json);
    invocation.verbose = w.given(Key::verbose);
    invocation.record = w.record.get();
    auto command = command_of(w, run);
    if (auto* error = std::get_if<UsageError>(&command)) {
        return std::move(*error);
    }
    invocation.command = std::get<Command>(std::move(command));
    return invocation;
}

}  // namespace

std::variant<Invocation, UsageError> parse_invocation(std::span<const std::string> arguments) {
    auto parsed = cmdline::parse(kOptions, arguments);
    if (auto* error = std::get_if<Error>(&parsed)) {
        return UsageError{std::move(*error)};
    }
    const auto& given = std::get<cmdline::Arguments>(parsed);
    Invocation answer;
    if (cmdline::asks(given, static_cast<std::size_t>(Key::help))) {
        answer.command = ShowHelp{};
        return answer;
    }
    if (cmdline::asks(given, static_cast<std::size_t>(Key::version))) {
        answer.command = ShowVersion{};
        return answer;
    }
    Words words;
    for (const auto& [index, value] : given.options) {
        if (auto error = take_value(words, static_cast<Key>(index),
                                    cmdline::dashed(kOptions.at(index)), value)) {
            return UsageError{std::move(*error)};
        }
    }
    words.positional = given.positional;
    return invocation_of(words);
}

}  // namespace tarvok::cli
