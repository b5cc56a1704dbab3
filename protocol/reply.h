// The module's answer: eight bytes starting 0x22, bytes 1 to 5 carried but not
// relied on, a status bit and the checksum. Judged the same way everywhere, and
// told in the same words in every log.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/frame.h"
#include "protocol/tables.h"

namespace tarvok::protocol {

enum class Verdict {
    success,     // start byte and checksum right, bit 0 of the status byte set
    failure,     // start byte and checksum right, bit 0 clear
    start_byte,  // byte 0 is not 0x22
    checksum,    // byte 7 is not the sum of the others
};

Verdict judge(const Frame& reply);

// A reply that passed the check, whatever its status.
constexpr bool accepted(Verdict verdict) {
    return verdict == Verdict::success || verdict == Verdict::failure;
}

// What the module sends back for a command with that address and code.
Frame make_reply(std::uint8_t address, std::uint8_t code, bool success);

// Whether bytes 1 and 2 of a reply repeat the address and code of `sent`. Not every
// module echoes them, so a mismatch is worth a word, never a refusal by itself.
bool echoes(const Frame& reply, const Frame& sent);

// "成功", "失败", "起始字节不是 22", "校验和错误（应为 6C）".
std::string describe(Verdict verdict, const Frame& reply);

// A frame on the wire in words, as every traffic log writes it; its line joins the
// parts: "发送 55 05 44 00 00 01 03 A2 · 地址 5 第3路 关联方式 自锁" or
// "接收 22 05 44 00 00 00 01 6C · 成功". A received frame that passed the check but
// does not echo `last_sent` means more: " · 可能是对先前命令的回复".
struct WireWords {
    std::string direction;  // 发送 or 接收
    std::string hex;
    std::string meaning;
};

WireWords sent_words(const Frame& frame);
WireWords received_words(const Frame& reply, const std::optional<Frame>& last_sent);
std::string line(const WireWords& words);

// What the bus engine and the traffic window call what they meet on a line, in the
// same words everywhere.
// The adapter handing back the frame it just sent.
inline constexpr std::string_view kEchoWords = "回显";
// A frame with the command start byte that is not what was sent.
inline constexpr std::string_view kGarbledEchoWords =
    "回显与发送的帧不一致，可能是总线冲突或接线故障";
// A second valid reply to one command.
inline constexpr std::string_view kDuplicateWords = "重复的回复，可能有两个模块使用同一地址";
// A line that never went quiet long enough to judge a reply.
inline constexpr std::string_view kBusyWords = "线路上一直有数据，无法判断回复：请检查是否有别的主机或设备在发送";
// A valid reply that answers no frame in flight.
inline constexpr std::string_view kUnmatchedWords = "可能是对先前命令的回复";
// A reply that does not repeat the address and command sent (taken with --lenient).
inline constexpr std::string_view kMismatchWords = "回复的地址或命令与发送的不一致";
// "迟到的回复（230 ms）": a valid reply after its deadline.
std::string late_words(int ms);

}  // namespace tarvok::protocol
