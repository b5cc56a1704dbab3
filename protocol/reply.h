// The module's answer: eight bytes starting 0x22, bytes 1 to 5 carried but not
// relied on, a status bit and the checksum. Judged the same way everywhere, and
// told in the same words in every log.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/frame.h"

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

// One line per frame on the wire, as every traffic log writes it:
//   "发送 55 05 44 00 00 03 01 A2 · 地址 5 第3路 关联方式 自锁"
//   "接收 22 05 44 00 00 00 01 6C · 成功"
// A received line that passed the check but does not echo `last_sent` ends in
// " · 可能是对先前命令的回复".
std::string sent_line(const Frame& frame);
std::string received_line(const Frame& reply, const std::optional<Frame>& last_sent);

}  // namespace tarvok::protocol
