// What the modules send the host, each piece at its own time. Pieces wait in a
// queue served by the simulator's one loop, so the wire is still read (and echoed)
// while a reply is held back, trickles or comes twice.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "sim/reply_faults.h"

namespace tarvok::sim {

class WireOutput {
public:
    using Clock = std::chrono::steady_clock;

    enum class Result {
        ok,
        stalled,  // the host left no room for kWriteStall: the queue was given up
        failed,   // the pty itself failed (errno tells)
    };

    // A host that stops reading its port loses the replies rather than stall the bus.
    static constexpr std::chrono::milliseconds kWriteStall{1000};

    explicit WireOutput(int fd) : fd_(fd) {}

    // The pieces one after the other, the first after its pause from `now`, or from
    // the last piece already queued when that is later: replies never overlap.
    void queue(const std::vector<Piece>& pieces, Clock::time_point now);
    // Bytes that go out at once, ahead of whatever waits (the adapter's echo).
    Result write_now(std::span<const std::uint8_t> bytes);
    // Writes every piece that is due.
    Result write_due(Clock::time_point now);
    // When the next piece is due; nothing when none waits.
    [[nodiscard]] std::optional<Clock::time_point> next_due() const;

private:
    struct Timed {
        Clock::time_point at;
        std::vector<std::uint8_t> bytes;
    };

    int fd_;
    std::deque<Timed> waiting_;
};

}  // namespace tarvok::sim
