// Time on the line: how long bytes take at a rate, and how long a module may take
// to answer. Every program that waits for a reply or paces one uses these.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "protocol/frame.h"
#include "protocol/tables.h"

namespace tarvok::protocol {

// Start bit, eight data bits, stop bit, and a parity bit when there is one.
constexpr int bits_per_byte(Parity parity) { return parity == Parity::none ? 10 : 11; }

// Wire time of `bytes` at `baud`, rounded up to the microsecond.
constexpr std::chrono::microseconds wire_time(std::size_t bytes, std::uint32_t baud,
                                              Parity parity) {
    const std::uint64_t rate = baud == 0 ? 1 : baud;
    const std::uint64_t bits = bytes * static_cast<std::uint64_t>(bits_per_byte(parity));
    return std::chrono::microseconds((bits * 1'000'000 + rate - 1) / rate);
}

// A command and its reply: what one exchange puts on the wire.
inline constexpr std::size_t kExchangeBytes = 2 * kFrameSize;

// What a host allows beyond the wire time before it calls a reply missing: the
// module's own turn-around, and a USB adapter holding bytes back for up to 16 ms
// each way, with room to spare.
inline constexpr std::chrono::milliseconds kReplyMargin{100};

// A real module's pause between the end of a command and the start of its reply;
// the simulator keeps it when it paces replies.
inline constexpr std::chrono::microseconds kModuleTurnaround{3000};

// The reply deadline at a line rate: the wire time of the exchange, rounded up to
// the millisecond, plus kReplyMargin (117 ms at 9600 without parity).
constexpr int reply_timeout_ms(std::uint32_t baud, Parity parity) {
    const auto wire = wire_time(kExchangeBytes, baud, parity).count();
    return static_cast<int>((wire + 999) / 1000 + kReplyMargin.count());
}

}  // namespace tarvok::protocol
