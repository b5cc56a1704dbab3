// One half-duplex exchange on a bus where replies come late, in pieces, twice, echoed
// by the adapter or not at all: a frame goes out, received bytes and the passing of
// time come in, and out come what to do next, what was met on the line, and in the
// end the reply that answers this frame, if one did. No I/O and no clock of its own,
// so every rule can be driven step by step. What a whole run has learnt of a module
// (bus/ledger.h) sets the timing; the engine (bus/engine.h) drives both.
//
// The rules, with Timing's numbers:
//   - A reply counts only when it repeats the address and command just sent
//     (Matching::lenient drops that for modules that do not repeat them).
//   - The first reply byte must come within `deadline` of the send. While bytes keep
//     coming less than `gap` apart the reply is arriving, deadline or not; a pause
//     longer than that ends the arrival but keeps a partial reply, which the rest may
//     still complete.
//   - After a deadline with no valid reply, nothing is sent until the line has been
//     quiet for `settle`; any byte restarts it. A valid reply that completes then,
//     with nothing sent since, still answers this exchange: credited as late.
//   - The first eight bytes after a send that start 55 are the adapter's echo:
//     skipped when they equal the frame, reported as a garbled echo otherwise.
//   - After the reply the exchange lingers until the line has been quiet for `gap`:
//     a second reply then is reported as a duplicate, never left for the next
//     exchange. Whatever comes after the end is still judged against this frame
//     until the next exchange starts: a reply to it is late, or a duplicate.
//   - A line that never goes quiet ends the exchange kBusyDeadlines deadlines after
//     its last send, in every phase; a reply already credited keeps its outcome.
//   - Stopped: no further attempt; an attempt still waiting ends at its deadline (a
//     reply arriving then is still taken), a settle or a linger ends at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "bus/line.h"
#include "protocol/frame.h"
#include "protocol/tables.h"

namespace tarvok::bus {

struct Timing {
    Micros deadline;  // from the send to the first byte of the reply
    Micros gap;       // the longest pause inside a reply, and the quiet before any send
    Micros settle;    // the quiet after a missed deadline before anything else goes out
};

// USB adapters hold received bytes for up to 16 ms (the FTDI latency timer), so the
// gap is 20 ms plus four characters at the line's rate; Modbus-style 1.5 characters
// would cut a reply in two on a PC. Settle is one more deadline.
inline constexpr Micros kUsbLatencyAllowance{20'000};
inline constexpr int kGapCharacters = 4;
inline constexpr int kBusyDeadlines = 10;

// The deadline is the protocol's reply_timeout_ms unless the caller names one.
Timing timing_for(std::uint32_t baud, protocol::Parity parity, std::optional<int> deadline_ms);
Timing timing_for(const protocol::LineSetting& line, std::optional<int> deadline_ms);

enum class Matching { strict, lenient };

struct Request {
    protocol::Frame frame{};
    int retries = 1;  // further attempts after a missed deadline, never after a reply
    Timing timing{};
    Matching matching = Matching::strict;
};

// Something met on the line, in the order met.
struct Note {
    enum class Kind {
        sent,          // `bytes` is the frame; `attempt` counts from 1
        reply,         // the reply credited to this exchange; `after` since its attempt's send
        echo,          // the adapter handed back the frame just sent
        garbled_echo,  // eight bytes starting 55 that are not the frame just sent
        junk,          // bytes that make no frame
        unmatched,     // a valid reply that does not answer this exchange
        duplicate,     // a second valid reply to this exchange; `after` since the first
        late,          // a reply to this exchange after it gave up; `after` since its send
        deadline,      // an attempt's deadline passed with no valid reply
    };
    Kind kind = Kind::sent;
    std::vector<std::uint8_t> bytes;
    int attempt = 0;
    Micros after{};
    bool late = false;  // reply: credited after its deadline
};

struct Result {
    protocol::Frame sent{};
    std::optional<protocol::Frame> reply;  // the reply credited to this exchange
    bool repeats_request = true;  // the reply repeats address and command (lenient may not)
    bool late = false;            // credited while settling after a missed deadline
    bool busy = false;            // the line never went quiet
    bool stopped = false;         // ended early by stop()
    bool write_failed = false;    // the line refused the frame
    bool not_sent = false;        // never went out: stopped first, or the line never went quiet
    bool doubtful = false;        // the reply may be a leftover of another frame (bus/ledger.h)
    int attempts = 0;
    int echoes = 0;
    int duplicates = 0;               // further valid replies while it lingered
    Micros duplicate_after{};         // the longest of those after the credited reply
    Micros deadline{};                // how long each attempt waited for its reply
    Micros reply_after{};             // from the send of its attempt to the reply's last byte
    Micros first_sent{};              // the first attempt's send
    Micros last_sent{};               // the last attempt's send
    Micros replied_at{};              // when the credited reply completed
    Micros ended{};                   // when the outcome was known (the reply, or the last settle)
    std::vector<std::uint8_t> heard;  // every byte of the last attempt
};

// What the caller does after each step: write the frame now, call tick() at `wake`.
struct Step {
    bool send = false;
    std::optional<Micros> wake;
    bool finished = false;
};

class Exchange {
public:
    explicit Exchange(Request request);

    Step start(Micros now);
    Step take(std::span<const std::uint8_t> bytes, Micros now);
    Step tick(Micros now);
    Step stop(Micros now);
    // The line refused the frame just sent: the exchange ends without a reply.
    Step write_failed(Micros now);
    // Ends at once, as when another frame went out regardless.
    Step cut(Micros now);
    // Bytes still waiting to make a frame, told as junk: the next exchange starts clean.
    void drop_pending();

    const Result& result() const { return result_; }
    const Timing& timing() const { return request_.timing; }
    bool finished() const { return phase_ == Phase::done; }
    // The notes since the last call.
    std::vector<Note> take_notes();

private:
    enum class Phase { waiting, receiving, settling, lingering, done };

    Step send(Micros now);
    void judge_pending(Micros now);
    void judge_echo();
    void judge_frame(const protocol::Frame& frame, Micros now);
    void flush_junk();
    void note(Note::Kind kind, std::span<const std::uint8_t> bytes, Micros after = {});
    bool answers(const protocol::Frame& reply) const;
    void miss_deadline();
    void end(Micros now);
    Step step() const;
    Micros wake() const;
    Micros busy_at() const;

    Request request_;
    Result result_;
    Phase phase_ = Phase::waiting;
    Micros sent_at_{};
    Micros last_byte_{};
    Micros quiet_from_{};  // settling: the line must stay quiet from here for `settle`
    bool echo_possible_ = false;
    bool stopping_ = false;
    std::vector<std::uint8_t> pending_;
    std::vector<std::uint8_t> junk_;
    std::vector<Note> notes_;
};

}  // namespace tarvok::bus
