// The module's answer: eight bytes starting 0x22, bytes 1 to 5 carried but not
// relied on, a status bit and the checksum. Judged the same way everywhere, and
// told in the same words in every log.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/frame.h"
#include "protocol/protocol_words.h"
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

// "成功", "失败", "起始字节不是 22", "校验和错误（应为 6C）"; "success", "failure".
std::string describe(Verdict verdict, const Frame& reply);

// A frame on the wire in words, as every traffic log writes it; its line joins the
// parts: "发送 55 05 44 00 00 01 03 A2 · 地址 5 第3路 关联方式 自锁" or
// "接收 22 05 44 00 00 00 01 6C · 成功". A received frame that passed the check but
// does not echo `last_sent` means more: " · 可能是对先前命令的回复".
struct WireWords {
    std::string direction;  // 发送 or 接收; sent or received
    std::string hex;
    std::string meaning;
};

WireWords sent_words(const Frame& frame);
WireWords received_words(const Frame& reply, const std::optional<Frame>& last_sent);
std::string line(const WireWords& words);

// What the bus engine and the traffic window call what they meet on a line (echo,
// duplicate and the like) are protocol/protocol_words.h's echo_words() and its kin.
// "迟到的回复（230 ms）": a valid reply after its deadline.
std::string late_words(int ms);

}  // namespace tarvok::protocol
