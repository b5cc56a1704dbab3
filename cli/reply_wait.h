// Waiting for a module's reply: how long, and which received bytes make it.
// Plain C++; the runner feeds it whatever the line delivered since the frame went out.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "protocol/frame.h"
#include "protocol/tables.h"

namespace tarvok::cli {

// Time a module gets to process a frame and turn the bus round, on top of the wire
// time; USB adapters alone may hold bytes back for up to 16 ms each way.
inline constexpr int kTurnAroundMs = 100;

// 16 bytes (the frame out, the reply back) of wire time at the line's rate, start,
// data, parity and stop bits each, plus kTurnAroundMs; rounded up.
constexpr int reply_timeout_ms(std::uint32_t baud, protocol::Parity parity) {
    const std::uint32_t bits = 16U * (parity == protocol::Parity::none ? 10U : 11U);
    return static_cast<int>((bits * 1000U + baud - 1) / baud) + kTurnAroundMs;
}

struct FoundReply {
    protocol::Frame reply{};
    bool echoed = true;  // bytes 1 and 2 repeat the address and code that were sent
};

// The first reply in `pending` that passes the check (start byte, checksum; either
// status) and, when `strict`, echoes `sent`. Bytes before it, and a reply that does
// not count, are dropped one at a time, so a reply behind junk or a false start is
// still found; a partial reply is left in place for the bytes still to come.
std::optional<FoundReply> take_reply(std::vector<std::uint8_t>& pending,
                                     const protocol::Frame& sent, bool strict);

}  // namespace tarvok::cli
