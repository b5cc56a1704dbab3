// Ways a reply can go wrong on a real line, so the host's handling of each can be
// tried on purpose. Applied to the reply bytes only; whether the module carried out
// the command is decided by the engine.
//
// A lost reply (no_reply, or one lost to drop_percent) still leaves the change made,
// which is exactly the case the host cannot tell apart from a refused one.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
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
    int trickle_ms = 0;    // every byte this long after the one before, as USB adapters deliver
    // A second, identical reply this long after the first one's last byte, as two
    // modules sharing an address would send.
    std::optional<int> twice_ms;
    int drop_percent = 0;    // replies lost on the way, at random
    std::uint32_t seed = 0;  // which ones: the same seed loses the same replies
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
// Trickled bytes keep the split's pause on top of their own; the second reply of
// `twice_ms` is shaped like the first, junk included.
std::vector<Piece> shape_reply(const protocol::Frame& reply, const ReplyFaults& faults,
                               std::uint32_t seed, std::chrono::microseconds wire = {});

// Whether the `number`th reply the bus sends (from 1) is lost: drop_percent of them,
// picked by a hash of the seed and the number, so a run repeats with its seed.
bool reply_lost(const ReplyFaults& faults, std::uint32_t number);

// Short Chinese labels of the faults in force ("应答延迟 200 ms", ...), empty if none.
// Random loss is labelled where it strikes (lost_label), not on every reply.
std::vector<std::string> fault_labels(const ReplyFaults& faults);
std::string lost_label(std::uint32_t number);
// For the start: the loss rate and the seed that repeats the run.
std::string drop_label(const ReplyFaults& faults);

}  // namespace tarvok::sim
