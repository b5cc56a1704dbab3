// The settings a module takes, as values: what the operator asks for, the frame it
// travels as, and back. Channels are 1 to 32, or kAllChannels.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "protocol/frame.h"
#include "protocol/tables.h"

namespace tarvok::protocol {

struct ModeSetting {
    std::uint8_t channel;
    Mode mode;
    friend bool operator==(const ModeSetting&, const ModeSetting&) = default;
};

struct PowerOnSetting {
    std::uint8_t channel;
    PowerOn state;
    friend bool operator==(const PowerOnSetting&, const PowerOnSetting&) = default;
};

// A serial line's rate and parity: the module's own, the PC port's, a scan's. In a
// setting `baud` is one of kBaudCodes.
struct LineSetting {
    std::uint32_t baud = 9600;
    Parity parity = Parity::none;
    friend bool operator==(const LineSetting&, const LineSetting&) = default;
};

using Request = std::variant<ModeSetting, PowerOnSetting, LineSetting>;

// Why a frame means no request.
enum class Refusal { start_byte, checksum, unknown_command, out_of_range };

using Decoded = std::variant<Request, Refusal>;

// Which builder a command goes through: how many trailing parameter bytes it takes.
enum class Builder { frame2, frame3, frame4 };

struct CommandBytes {
    Command command;
    std::array<std::uint8_t, 4> params;  // bytes 3 to 6, untaken ones zero
    Builder builder;
};

// Throws std::invalid_argument for a channel outside 1..32 (or all), or a baud rate
// the module does not know: values come from the tables, so either is a mistake.
CommandBytes command_bytes(const Request& request);
Frame encode(std::uint8_t address, const Request& request);
Decoded decode(const Frame& frame);

bool valid_channel(std::uint8_t channel);

Kind kind_of(const Request& request);

// Words in the process's language (words::language()); those that take a language
// give words that must not change with it, such as a JSON field or a plan file's.

// "1200、2400、…、115200": the rates the module knows.
std::string baud_list_text();

// "第3路" or "全部", as the window's channel list shows it; "channel 3" or "all".
std::string channel_entry(std::uint8_t channel);
std::string channel_entry(std::uint8_t channel, words::Language language);

// "第3路 关联方式 自锁", "全部通道 上电状态 上电开", "通讯参数 19200 偶校验";
// "channel 3 mode self-lock", "line settings 19200 even parity".
std::string describe(const Request& request);
std::string describe(const Request& request, words::Language language);
// A line in words, the same everywhere: "19200 偶校验", "9600 无校验"; "19200 even parity".
std::string line_words(const LineSetting& line);
std::string line_words(const LineSetting& line, words::Language language);
// "起始字节不是 55", "校验和错误（应为 9E）", "未知命令", "参数超出范围".
std::string describe(Refusal refusal, const Frame& frame);
// A command frame in words: its request, or its command and raw parameters
// ("关联方式 参数 00 00 01 21", "未知命令 0x50 参数 00 00 00 AB").
std::string describe_frame(const Frame& frame);

}  // namespace tarvok::protocol
