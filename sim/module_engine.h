// The relay modules as the wire sees them, with no wire attached: received bytes go
// in, for every complete command frame out comes what the addressed module made of
// it and the reply to send. No I/O here, so every decision can be checked on its
// own. What a frame means is the protocol's; this keeps only the modules' state and
// their rules. Several modules may share the bus, each with an address of its own.
//
// Log line, one per frame (UTF-8, no trailing newline). A is the frame's address:
//   地址 A · <what> → 成功
//   地址 A · <what> → 失败（参数超出范围）
//   地址 A · <what> → 失败（未知命令）
//   地址 A · <what> → 失败（模拟失败，未执行）       (--fail)
//   地址 A · <what> → 未应答（线路 L 波特，本模块 M 波特）
//   地址 A · <what> → 未应答（校验位不符：线路 P，本模块 Q）   P, Q as 无校验/奇校验/偶校验
//   地址 A 的帧（总线上没有这个地址的模块）已忽略
// where <what> is the frame in words (protocol::describe_frame).
//
// State text: 33 lines per module, each ending in '\n', fields as key=value
// separated by one space so scripts can pick them apart; modules in address order:
//   状态 地址=1 波特率=9600 校验=无校验
//   第1路 关联方式=不关联 上电状态=上电关
//   ...
//   第32路 关联方式=不关联 上电状态=上电关
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/request.h"
#include "sim/line.h"

namespace tarvok::sim {

struct ChannelState {
    protocol::Mode mode = protocol::Mode::none;
    protocol::PowerOn power_on = protocol::PowerOn::off;

    friend bool operator==(const ChannelState&, const ChannelState&) = default;
};

struct ModuleState {
    std::uint8_t address = 1;
    std::uint32_t baud = 9600;
    protocol::Parity parity = protocol::Parity::none;
    std::array<ChannelState, protocol::kChannelCount> channels{};

    [[nodiscard]] LineSetting line() const { return {baud, parity}; }
    friend bool operator==(const ModuleState&, const ModuleState&) = default;
};

ModuleState apply(ModuleState state, const protocol::Request& request);

enum class Outcome {
    applied,
    refused,            // the frame means no setting: unknown code, parameters out of range
    failed_on_purpose,  // well-formed, but the module was told to refuse everything
    other_address,      // no module on the bus has the frame's address: not answered
    wrong_rate,         // heard while the line ran at another rate: not answered
    wrong_parity,       // at the module's rate but with other parity: not answered either
};

struct FrameEvent {
    protocol::Frame frame{};
    Outcome outcome = Outcome::applied;
    protocol::Decoded meaning = protocol::Refusal::out_of_range;
    std::optional<protocol::Frame> reply;
    LineSetting host_line{0};  // what the host's port was set to
    // The addressed module's own line when the frame came in; the reply goes out so.
    LineSetting module_line{0};
    // Set when the module changes its line: the reply still goes out on module_line,
    // every later frame is heard on this one. The engine's state already holds it.
    std::optional<LineSetting> line_after_reply;
};

struct Step {
    ModuleState state;
    FrameEvent event;
};

// The module's answer to one frame sent by a host whose port is set to `host_line`.
Step respond(const ModuleState& state, const protocol::Frame& frame, const LineSetting& host_line,
             bool fail_on_purpose);

// Finds command frames in a byte stream fed in any chunks. A candidate starts at
// 0x55 and must carry the right checksum; otherwise the search moves on by one byte,
// so a frame behind junk or behind a false start is still found.
class FrameReader {
public:
    std::vector<protocol::Frame> push(std::span<const std::uint8_t> bytes);

private:
    std::vector<std::uint8_t> pending_;
};

class ModuleEngine {
public:
    // The modules on the bus, kept in address order; of two with the same address
    // only the first counts.
    explicit ModuleEngine(std::vector<ModuleState> modules = {ModuleState{}},
                          bool fail_on_purpose = false);

    // Events in arrival order; each frame is judged against the state the frames
    // before it left, so a line change takes effect for the very next frame.
    std::vector<FrameEvent> feed(std::span<const std::uint8_t> bytes, const LineSetting& host_line);
    [[nodiscard]] const std::vector<ModuleState>& modules() const { return modules_; }

private:
    FrameEvent respond_on_bus(const protocol::Frame& frame, const LineSetting& host_line);

    FrameReader reader_;
    std::vector<ModuleState> modules_;
    bool fail_on_purpose_;
};

std::string log_line(const FrameEvent& event);
std::string state_text(const ModuleState& state);
// One block per module, in the order given.
std::string state_text(std::span<const ModuleState> modules);

}  // namespace tarvok::sim
