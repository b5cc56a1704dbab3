#include "sim/module_engine.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace tarvok::sim {

namespace {

using protocol::Command;
using protocol::Frame;

constexpr std::array<std::string_view, 4> kModeNames = {"不关联", "自锁", "联动", "点动"};
constexpr std::array<std::string_view, 3> kPowerOnNames = {"上电关", "上电开", "上电记忆"};
constexpr std::array<std::string_view, 3> kParityNames = {"无校验", "奇校验", "偶校验"};

constexpr std::uint8_t kFailure = 0x00;
constexpr std::uint8_t kSuccess = 0x01;

bool padding_clear(const Frame& f) { return f[3] == 0 && f[4] == 0; }

bool params_all(const Frame& f, std::uint8_t value) {
    return std::all_of(f.begin() + 3, f.begin() + 7, [value](auto b) { return b == value; });
}

std::optional<std::uint8_t> channel_in(std::uint8_t byte, bool all_allowed) {
    if (byte >= 1 && byte <= protocol::kChannelCount) {
        return byte;
    }
    if (all_allowed && byte == protocol::kAllChannels) {
        return byte;
    }
    return std::nullopt;
}

std::optional<Request> decode_mode(const Frame& f) {
    const auto channel = channel_in(f[6], true);
    if (!padding_clear(f) || f[5] > 3 || !channel) {
        return std::nullopt;
    }
    return ModeChange{*channel, static_cast<Mode>(f[5])};
}

std::optional<Request> decode_power_all(const Frame& f) {
    if (params_all(f, 0x00)) {
        return PowerOnChange{protocol::kAllChannels, PowerOn::off};
    }
    if (params_all(f, 0xFF)) {
        return PowerOnChange{protocol::kAllChannels, PowerOn::on};
    }
    return std::nullopt;
}

std::optional<Request> decode_power_channel(const Frame& f) {
    const auto channel = channel_in(f[5], false);
    if (!padding_clear(f) || !channel || f[6] > 1) {
        return std::nullopt;
    }
    return PowerOnChange{*channel, f[6] == 1 ? PowerOn::on : PowerOn::off};
}

std::optional<Request> decode_memory_all(const Frame& f) {
    if (!params_all(f, 0xFF)) {
        return std::nullopt;
    }
    return PowerOnChange{protocol::kAllChannels, PowerOn::memory};
}

std::optional<Request> decode_memory_channel(const Frame& f) {
    const auto channel = channel_in(f[5], false);
    if (!padding_clear(f) || !channel || f[6] != 1) {
        return std::nullopt;
    }
    return PowerOnChange{*channel, PowerOn::memory};
}

std::optional<Request> decode_serial(const Frame& f) {
    const auto baud = protocol::baud_for_code(f[5]);
    if (!padding_clear(f) || !baud || f[6] >= protocol::kParityCodeCount) {
        return std::nullopt;
    }
    return SerialChange{*baud, static_cast<Parity>(f[6])};
}

struct CommandInfo {
    Command command;
    std::string_view name;
    std::optional<Request> (*decode)(const Frame&);
};

constexpr std::array<CommandInfo, 6> kCommandTable = {{
    {Command::channel_mode, "关联方式", decode_mode},
    {Command::power_on_state_all, "全部通道上电状态", decode_power_all},
    {Command::power_on_state_channel, "单路上电状态", decode_power_channel},
    {Command::power_on_memory_all, "全部通道上电记忆", decode_memory_all},
    {Command::power_on_memory_channel, "单路上电记忆", decode_memory_channel},
    {Command::device_serial, "通讯参数", decode_serial},
}};

const CommandInfo* command_info(std::uint8_t code) {
    const auto* it = std::find_if(kCommandTable.begin(), kCommandTable.end(), [code](auto& info) {
        return static_cast<std::uint8_t>(info.command) == code;
    });
    return it == kCommandTable.end() ? nullptr : it;
}

template <typename Field, typename Value>
void set_channels(ModuleState& state, std::uint8_t channel, Field field, Value value) {
    if (channel == protocol::kAllChannels) {
        for (auto& ch : state.channels) {
            ch.*field = value;
        }
    } else {
        state.channels.at(channel - 1U).*field = value;
    }
}

Frame reply_for(const Frame& frame, std::uint8_t status) {
    return protocol::make_frame(protocol::kReplyStart, frame[1], frame[2], {0, 0, 0, status});
}

std::string hex_byte(std::uint8_t b) {
    std::array<char, 3> text{};
    std::snprintf(text.data(), text.size(), "%02X", b);
    return text.data();
}

std::string target_text(std::uint8_t channel) {
    return channel == protocol::kAllChannels ? std::string("全部通道")
                                             : "第" + std::to_string(channel) + "路";
}

std::string request_text(const Request& request) {
    if (const auto* m = std::get_if<ModeChange>(&request)) {
        return target_text(m->channel) + " 关联方式 " +
               std::string(kModeNames.at(static_cast<std::size_t>(m->mode)));
    }
    if (const auto* p = std::get_if<PowerOnChange>(&request)) {
        return target_text(p->channel) + " 上电状态 " +
               std::string(kPowerOnNames.at(static_cast<std::size_t>(p->state)));
    }
    const auto& s = std::get<SerialChange>(request);
    return "通讯参数 " + std::to_string(s.baud) + " " +
           std::string(kParityNames.at(static_cast<std::size_t>(s.parity)));
}

std::string raw_text(const Frame& frame) {
    const auto* info = command_info(frame[2]);
    std::string text = info ? std::string(info->name) : "未知命令 0x" + hex_byte(frame[2]);
    text += " 参数";
    for (std::size_t i = 3; i < 7; ++i) {
        text += " " + hex_byte(frame[i]);
    }
    return text;
}

std::string result_text(const FrameEvent& event) {
    switch (event.outcome) {
    case Outcome::applied:
        return "成功";
    case Outcome::out_of_range:
        return "失败（参数超出范围）";
    case Outcome::unknown_command:
        return "失败（未知命令）";
    case Outcome::failed_on_purpose:
        return "失败（模拟失败，未执行）";
    case Outcome::wrong_rate:
        return "未应答（线路 " + std::to_string(event.line_baud) + " 波特，本模块 " +
               std::to_string(event.module_baud) + " 波特）";
    case Outcome::other_address:
        break;
    }
    return {};
}

Outcome judge(const ModuleState& state, const Frame& frame, std::uint32_t line_baud,
              bool has_request, bool fail_on_purpose) {
    if (line_baud != state.baud) {
        return Outcome::wrong_rate;
    }
    if (frame[1] != state.address) {
        return Outcome::other_address;
    }
    if (!known_command(frame[2])) {
        return Outcome::unknown_command;
    }
    if (!has_request) {
        return Outcome::out_of_range;
    }
    return fail_on_purpose ? Outcome::failed_on_purpose : Outcome::applied;
}

}  // namespace

bool known_command(std::uint8_t code) { return command_info(code) != nullptr; }

std::optional<Request> decode(const Frame& frame) {
    const auto* info = command_info(frame[2]);
    return info ? info->decode(frame) : std::nullopt;
}

ModuleState apply(ModuleState state, const Request& request) {
    if (const auto* m = std::get_if<ModeChange>(&request)) {
        set_channels(state, m->channel, &ChannelState::mode, m->mode);
    } else if (const auto* p = std::get_if<PowerOnChange>(&request)) {
        set_channels(state, p->channel, &ChannelState::power_on, p->state);
    } else {
        const auto& s = std::get<SerialChange>(request);
        state.baud = s.baud;
        state.parity = s.parity;
    }
    return state;
}

Step respond(const ModuleState& state, const Frame& frame, std::uint32_t line_baud,
             bool fail_on_purpose) {
    FrameEvent event;
    event.frame = frame;
    event.request = decode(frame);
    event.line_baud = line_baud;
    event.module_baud = state.baud;
    event.outcome = judge(state, frame, line_baud, event.request.has_value(), fail_on_purpose);

    switch (event.outcome) {
    case Outcome::wrong_rate:
    case Outcome::other_address:
        return {state, event};
    case Outcome::applied:
        break;
    default:
        event.reply = reply_for(frame, kFailure);
        return {state, event};
    }
    event.reply = reply_for(frame, kSuccess);
    ModuleState next = apply(state, *event.request);
    if (next.baud != state.baud) {
        event.baud_after_reply = next.baud;
    }
    return {next, event};
}

std::vector<Frame> FrameReader::push(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<Frame> found;
    std::size_t pos = 0;
    while (pos < pending_.size()) {
        if (pending_[pos] != protocol::kCommandStart) {
            ++pos;
            continue;
        }
        if (pending_.size() - pos < protocol::kFrameSize) {
            break;
        }
        const Frame candidate = protocol::frame_from(std::span(pending_).subspan(pos));
        if (candidate[protocol::kChecksumByte] == protocol::checksum(candidate)) {
            found.push_back(candidate);
            pos += protocol::kFrameSize;
        } else {
            ++pos;
        }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pos));
    return found;
}

ModuleEngine::ModuleEngine(ModuleState initial, bool fail_on_purpose)
    : state_(initial), fail_on_purpose_(fail_on_purpose) {}

std::vector<FrameEvent> ModuleEngine::feed(std::span<const std::uint8_t> bytes,
                                           std::uint32_t line_baud) {
    std::vector<FrameEvent> events;
    for (const auto& frame : reader_.push(bytes)) {
        auto step = respond(state_, frame, line_baud, fail_on_purpose_);
        state_ = step.state;
        events.push_back(step.event);
    }
    return events;
}

std::string log_line(const FrameEvent& event) {
    const std::string address = std::to_string(event.frame[1]);
    if (event.outcome == Outcome::other_address) {
        return "地址 " + address + " 的帧（不是本模块）已忽略";
    }
    const std::string what = event.request ? request_text(*event.request) : raw_text(event.frame);
    return "地址 " + address + " · " + what + " → " + result_text(event);
}

std::string state_text(const ModuleState& state) {
    std::string text =
        "状态 地址=" + std::to_string(state.address) + " 波特率=" + std::to_string(state.baud) +
        " 校验=" + std::string(kParityNames.at(static_cast<std::size_t>(state.parity))) + "\n";
    for (std::size_t i = 0; i < state.channels.size(); ++i) {
        const auto& ch = state.channels[i];
        text +=
            "第" + std::to_string(i + 1) +
            "路 关联方式=" + std::string(kModeNames.at(static_cast<std::size_t>(ch.mode))) +
            " 上电状态=" + std::string(kPowerOnNames.at(static_cast<std::size_t>(ch.power_on))) +
            "\n";
    }
    return text;
}

}  // namespace tarvok::sim
