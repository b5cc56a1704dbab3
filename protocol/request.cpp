#include "protocol/request.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "protocol/protocol_words.h"

namespace tarvok::protocol {

namespace {

constexpr std::uint8_t kOn = 0xFF;
constexpr std::uint8_t kChannelOn = 0x01;
constexpr std::uint8_t kMemory = 0x01;

std::uint8_t checked_channel(std::uint8_t channel) {
    if (channel != kAllChannels && !valid_channel(channel)) {
        throw std::invalid_argument("channel outside 1 to 32");
    }
    return channel;
}

CommandBytes bytes_of(const ModeSetting& s) {
    return {Command::channel_mode,
            {0, 0, static_cast<std::uint8_t>(s.mode), checked_channel(s.channel)},
            Builder::frame3};
}

CommandBytes bytes_of(const PowerOnSetting& s) {
    const std::uint8_t channel = checked_channel(s.channel);
    const bool all = channel == kAllChannels;
    switch (s.state) {
    case PowerOn::memory:
        return all ? CommandBytes{Command::power_on_memory_all,
                                  {kOn, kOn, kOn, kOn},
                                  Builder::frame4}
                   : CommandBytes{Command::power_on_memory_channel,
                                  {0, 0, channel, kMemory},
                                  Builder::frame2};
    case PowerOn::on:
        return all ? CommandBytes{Command::power_on_state_all,
                                  {kOn, kOn, kOn, kOn},
                                  Builder::frame4}
                   : CommandBytes{Command::power_on_state_channel,
                                  {0, 0, channel, kChannelOn},
                                  Builder::frame2};
    case PowerOn::off:
        break;
    }
    return all ? CommandBytes{Command::power_on_state_all, {0, 0, 0, 0}, Builder::frame4}
               : CommandBytes{Command::power_on_state_channel, {0, 0, channel, 0}, Builder::frame2};
}

CommandBytes bytes_of(const LineSetting& s) {
    const auto code = code_for_baud(s.baud);
    if (!code) {
        throw std::invalid_argument("baud rate the module does not know");
    }
    return {Command::device_serial,
            {0, 0, *code, static_cast<std::uint8_t>(s.parity)},
            Builder::frame2};
}

// ---- decoding: each command's parameter bytes, strictly ----

using Params = std::array<std::uint8_t, 4>;

bool leading_clear(const Params& p) { return p[0] == 0 && p[1] == 0; }
bool all_are(const Params& p, std::uint8_t value) {
    return std::all_of(p.begin(), p.end(), [value](auto b) { return b == value; });
}

std::optional<Request> mode_from(const Params& p) {
    const bool channel_ok = valid_channel(p[3]) || p[3] == kAllChannels;
    if (!leading_clear(p) || !channel_ok || !find_value(kModes, static_cast<Mode>(p[2]))) {
        return std::nullopt;
    }
    return ModeSetting{p[3], static_cast<Mode>(p[2])};
}

std::optional<Request> state_all_from(const Params& p) {
    if (all_are(p, 0) || all_are(p, kOn)) {
        return PowerOnSetting{kAllChannels, p[0] == kOn ? PowerOn::on : PowerOn::off};
    }
    return std::nullopt;
}

std::optional<Request> state_channel_from(const Params& p) {
    if (!leading_clear(p) || !valid_channel(p[2]) || p[3] > kChannelOn) {
        return std::nullopt;
    }
    return PowerOnSetting{p[2], p[3] == kChannelOn ? PowerOn::on : PowerOn::off};
}

std::optional<Request> memory_all_from(const Params& p) {
    return all_are(p, kOn) ? std::optional<Request>(PowerOnSetting{kAllChannels, PowerOn::memory})
                           : std::nullopt;
}

std::optional<Request> memory_channel_from(const Params& p) {
    if (!leading_clear(p) || !valid_channel(p[2]) || p[3] != kMemory) {
        return std::nullopt;
    }
    return PowerOnSetting{p[2], PowerOn::memory};
}

std::optional<Request> line_from(const Params& p) {
    const auto baud = baud_for_code(p[2]);
    if (!leading_clear(p) || !baud || !find_value(kParities, static_cast<Parity>(p[3]))) {
        return std::nullopt;
    }
    return LineSetting{*baud, static_cast<Parity>(p[3])};
}

Decoded request_from(Command command, const Params& p) {
    std::optional<Request> request;
    switch (command) {
    case Command::channel_mode:
        request = mode_from(p);
        break;
    case Command::power_on_state_all:
        request = state_all_from(p);
        break;
    case Command::power_on_state_channel:
        request = state_channel_from(p);
        break;
    case Command::power_on_memory_all:
        request = memory_all_from(p);
        break;
    case Command::power_on_memory_channel:
        request = memory_channel_from(p);
        break;
    case Command::device_serial:
        request = line_from(p);
        break;
    }
    return request ? Decoded(*request) : Decoded(Refusal::out_of_range);
}

std::string target_text(std::uint8_t channel, words::Language language) {
    return channel == kAllChannels ? std::string(word(ProtocolWord::all_channels, language))
                                   : channel_entry(channel, language);
}

std::string with_params(std::string_view command, const Frame& frame) {
    return words::fill(word(ProtocolWord::with_params),
                       {command, hex(std::span(frame).subspan(3, 4))});
}

}  // namespace

bool valid_channel(std::uint8_t channel) { return channel >= 1 && channel <= kChannelCount; }

CommandBytes command_bytes(const Request& request) {
    return std::visit([](const auto& setting) { return bytes_of(setting); }, request);
}

Frame encode(std::uint8_t address, const Request& request) {
    const CommandBytes c = command_bytes(request);
    return make_frame(kCommandStart, address, static_cast<std::uint8_t>(c.command), c.params);
}

Decoded decode(const Frame& frame) {
    if (frame[0] != kCommandStart) {
        return Refusal::start_byte;
    }
    if (frame[kChecksumByte] != checksum(frame)) {
        return Refusal::checksum;
    }
    const auto command = static_cast<Command>(frame[kCodeByte]);
    if (!find_value(kCommands, command)) {
        return Refusal::unknown_command;
    }
    return request_from(command, {frame[3], frame[4], frame[5], frame[6]});
}

std::string channel_entry(std::uint8_t channel) {
    return channel_entry(channel, words::language());
}

std::string channel_entry(std::uint8_t channel, words::Language language) {
    return channel == kAllChannels
               ? std::string(word(ProtocolWord::all, language))
               : words::fill(word(ProtocolWord::channel, language), {std::to_string(channel)});
}

Kind kind_of(const Request& request) {
    if (std::holds_alternative<ModeSetting>(request)) {
        return Kind::mode;
    }
    return std::holds_alternative<PowerOnSetting>(request) ? Kind::power_on : Kind::line;
}

std::string baud_list_text() {
    std::string text;
    for (const auto& entry : kBaudCodes) {
        text += text.empty() ? "" : word(ProtocolWord::list_separator);
        text += std::to_string(entry.baud);
    }
    return text;
}

std::string describe(const Request& request) { return describe(request, words::language()); }

std::string describe(const Request& request, words::Language language) {
    const std::string_view kind = shown_in(kKinds, kind_of(request), language);
    if (const auto* m = std::get_if<ModeSetting>(&request)) {
        return words::fill("{} {} {}", {target_text(m->channel, language), kind,
                                        shown_in(kModes, m->mode, language)});
    }
    if (const auto* p = std::get_if<PowerOnSetting>(&request)) {
        return words::fill("{} {} {}", {target_text(p->channel, language), kind,
                                        shown_in(kPowerOnStates, p->state, language)});
    }
    return words::fill("{} {}", {kind, line_words(std::get<LineSetting>(request), language)});
}

std::string line_words(const LineSetting& line) { return line_words(line, words::language()); }

std::string line_words(const LineSetting& line, words::Language language) {
    return words::fill("{} {}",
                       {std::to_string(line.baud), shown_in(kParities, line.parity, language)});
}

std::string describe(Refusal refusal, const Frame& frame) {
    switch (refusal) {
    case Refusal::start_byte:
        return words::fill(word(ProtocolWord::start_byte_not), {hex(std::span(&kCommandStart, 1))});
    case Refusal::checksum: {
        const std::uint8_t expected = checksum(frame);
        return words::fill(word(ProtocolWord::checksum_wrong), {hex(std::span(&expected, 1))});
    }
    case Refusal::unknown_command:
        return std::string(word(ProtocolWord::unknown_command));
    case Refusal::out_of_range:
        break;
    }
    return std::string(word(ProtocolWord::out_of_range));
}

std::string describe_frame(const Frame& frame) {
    const Decoded decoded = decode(frame);
    if (const auto* request = std::get_if<Request>(&decoded)) {
        return describe(*request);
    }
    const auto name = shown_in(kCommands, static_cast<Command>(frame[kCodeByte]));
    if (name.empty()) {
        const std::string code = hex(std::span(frame).subspan(kCodeByte, 1));
        return with_params(words::fill(word(ProtocolWord::unknown_code), {code}), frame);
    }
    return with_params(name, frame);
}

}  // namespace tarvok::protocol
