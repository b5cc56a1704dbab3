#include "sim/module_engine.h"

#include <algorithm>
#include <array>

#include "protocol/reply.h"
#include "sim/sim_words.h"

namespace tarvok::sim {

namespace {

using protocol::Frame;
using protocol::Request;

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

std::string name_of(protocol::Mode mode) {
    return std::string(protocol::shown_in(protocol::kModes, mode));
}
std::string name_of(protocol::PowerOn state) {
    return std::string(protocol::shown_in(protocol::kPowerOnStates, state));
}
std::string name_of(protocol::Parity parity) {
    return std::string(protocol::shown_in(protocol::kParities, parity));
}

std::string result_text(const FrameEvent& event) {
    switch (event.outcome) {
    case Outcome::applied:
        return std::string(word(SimWord::applied));
    case Outcome::refused:
        return say(SimWord::refused,
                   {protocol::describe(std::get<protocol::Refusal>(event.meaning), event.frame)});
    case Outcome::failed_on_purpose:
        return std::string(word(SimWord::failed_on_purpose));
    case Outcome::wrong_rate:
        return say(SimWord::wrong_rate,
                   {std::to_string(event.host_line.baud), std::to_string(event.module_line.baud)});
    case Outcome::wrong_parity:
        return say(SimWord::wrong_parity,
                   {name_of(event.host_line.parity), name_of(event.module_line.parity)});
    case Outcome::other_address:
        break;
    }
    return {};
}

Outcome judge(const ModuleState& state, const FrameEvent& event, bool fail_on_purpose) {
    if (event.frame[protocol::kAddressByte] != state.address) {
        return Outcome::other_address;
    }
    // A UART at another rate sees framing errors; at the same rate a parity bit
    // where the module expects a stop bit (or none where it expects one) does too.
    if (event.host_line.baud != state.baud) {
        return Outcome::wrong_rate;
    }
    if (event.host_line.parity != state.parity) {
        return Outcome::wrong_parity;
    }
    if (!std::holds_alternative<Request>(event.meaning)) {
        return Outcome::refused;
    }
    return fail_on_purpose ? Outcome::failed_on_purpose : Outcome::applied;
}

}  // namespace

ModuleState apply(ModuleState state, const Request& request) {
    if (const auto* m = std::get_if<protocol::ModeSetting>(&request)) {
        set_channels(state, m->channel, &ChannelState::mode, m->mode);
    } else if (const auto* p = std::get_if<protocol::PowerOnSetting>(&request)) {
        set_channels(state, p->channel, &ChannelState::power_on, p->state);
    } else {
        const auto& s = std::get<protocol::LineSetting>(request);
        state.baud = s.baud;
        state.parity = s.parity;
    }
    return state;
}

Step respond(const ModuleState& state, const Frame& frame, const LineSetting& host_line,
             bool fail_on_purpose) {
    FrameEvent event;
    event.frame = frame;
    event.meaning = protocol::decode(frame);
    event.host_line = host_line;
    event.module_line = state.line();
    event.outcome = judge(state, event, fail_on_purpose);
    const bool answered = event.outcome != Outcome::wrong_rate &&
                          event.outcome != Outcome::wrong_parity &&
                          event.outcome != Outcome::other_address;
    const bool applied = event.outcome == Outcome::applied;
    if (answered) {
        event.reply = protocol::make_reply(frame[protocol::kAddressByte],
                                           frame[protocol::kCodeByte], applied);
    }
    if (!applied) {
        return {state, event};
    }
    ModuleState next = apply(state, std::get<Request>(event.meaning));
    if (next.line() != state.line()) {
        event.line_after_reply = next.line();
    }
    return {next, event};
}

std::vector<Frame> FrameReader::push(std::span<const std::uint8_t> bytes) {
    static constexpr std::array<std::uint8_t, 1> kStarts{protocol::kCommandStart};
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<Frame> found;
    std::size_t used = 0;
    while (true) {
        const auto scan = protocol::scan_frame(std::span(pending_).subspan(used), kStarts);
        used += scan.skip;
        if (!scan.frame) {
            break;
        }
        found.push_back(*scan.frame);
        used += protocol::kFrameSize;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
    return found;
}

ModuleEngine::ModuleEngine(std::vector<ModuleState> modules, bool fail_on_purpose)
    : modules_(std::move(modules)), fail_on_purpose_(fail_on_purpose) {
    const auto by_address = [](const ModuleState& a, const ModuleState& b) {
        return a.address < b.address;
    };
    const auto same_address = [](const ModuleState& a, const ModuleState& b) {
        return a.address == b.address;
    };
    std::stable_sort(modules_.begin(), modules_.end(), by_address);
    modules_.erase(std::unique(modules_.begin(), modules_.end(), same_address), modules_.end());
}

FrameEvent ModuleEngine::respond_on_bus(const Frame& frame, const LineSetting& host_line) {
    const auto address = frame[protocol::kAddressByte];
    const auto it = std::find_if(modules_.begin(), modules_.end(),
                                 [address](const auto& m) { return m.address == address; });
    if (it == modules_.end()) {
        FrameEvent event;
        event.frame = frame;
        event.meaning = protocol::decode(frame);
        event.outcome = Outcome::other_address;
        event.host_line = host_line;
        return event;
    }
    auto step = respond(*it, frame, host_line, fail_on_purpose_);
    *it = step.state;
    return step.event;
}

std::vector<FrameEvent> ModuleEngine::feed(std::span<const std::uint8_t> bytes,
                                           const LineSetting& host_line) {
    std::vector<FrameEvent> events;
    for (const auto& frame : reader_.push(bytes)) {
        events.push_back(respond_on_bus(frame, host_line));
    }
    return events;
}

std::string log_line(const FrameEvent& event) {
    const std::string address = std::to_string(event.frame[protocol::kAddressByte]);
    if (event.outcome == Outcome::other_address) {
        return say(SimWord::other_address, {address});
    }
    return say(SimWord::frame_line,
               {address, protocol::describe_frame(event.frame), result_text(event)});
}

std::string state_text(const ModuleState& state) {
    std::string text =
        say(SimWord::state_module,
            {std::to_string(state.address), std::to_string(state.baud), name_of(state.parity)}) +
        "\n";
    for (std::size_t i = 0; i < state.channels.size(); ++i) {
        const auto& ch = state.channels[i];
        text += say(SimWord::state_channel,
                    {std::to_string(i + 1), name_of(ch.mode), name_of(ch.power_on)}) +
                "\n";
    }
    return text;
}

std::string state_text(std::span<const ModuleState> modules) {
    std::string text;
    for (const auto& module : modules) {
        text += state_text(module);
    }
    return text;
}

}  // namespace tarvok::sim
