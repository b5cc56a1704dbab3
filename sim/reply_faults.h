// Ways a reply can go wrong on a real line, so the host's handling of each can be
// tried on purpose. Applied to the reply bytes only; whether the module carried out
// the command is decided by the engine.
//
// A lost reply (no_reply) still leaves the change made, which is exactly the case
// the host cannot tell apart from a refused one.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "protocol/tables.h"

namespace tarvok::sim {

struct ReplyFaults {
    int delay_ms = 0;               // wait before the first byte
    bool corrupt_checksum = false;  // last byte off by one
    bool no_reply = false;
    bool split = false;    // 3 bytes, a pause, then the other 5
    bool garbage = false;  // a few junk bytes before the reply
    bool pace = false;     // answer no sooner than a real bus would
};

inline constexpr std::chrono::milliseconds kSplitPause{30};
inline constexpr std::size_t kSplitAt = 3;
// How long the command's 8 bytes and the reply's 8 take on a line at `baud`, then
// the module's turn-around.
std::chrono::microseconds paced_wait(std::uint32_t baud, protocol::Parity parity);

// Bytes to write, each after its pause.
struct Piece {
    std::chrono::microseconds pause{0};
    std::vector<std::uint8_t> bytes;
};

// The junk is 3 to 6 bytes drawn from `seed`, its second byte a false reply start
// (0x22), and it never forms a valid reply together with the bytes after it: a host
// that slides past a bad start finds exactly the real reply.
std::vector<std::uint8_t> junk_bytes(const protocol::Frame& reply, std::uint32_t seed);

// `wire` is the paced wait for this reply (zero when not pacing); the delay adds to it.
std::vector<Piece> shape_reply(const protocol::Frame& reply, const ReplyFaults& faults,
                               std::uint32_t seed, std::chrono::microseconds wire = {});

// Short Chinese labels of the faults in force ("应答延迟 200 ms", ...), empty if none.
std::vector<std::string> fault_labels(const ReplyFaults& faults);

}  // namespace tarvok::sim
