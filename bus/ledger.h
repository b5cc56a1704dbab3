// What a run has learnt of each module and of the frames it sent, and the rules that
// follow: when the next frame may go out, how long to wait for a module, and whether
// a reply can be shown to answer the frame it was credited to. Plain C++, no clock.
//
// A reply repeats only the address and command of its frame (its key), so nothing
// in its bytes tells two frames with one key apart; time and what the module has
// shown must. The rules, D being the line's deadline and G its gap (bus/exchange.h):
//   1. A frame does not go out while an earlier frame with its key may still be
//      answered:
//        - an answered frame until G after its reply once the module has shown that
//          it answers once; while it has not, until kObserveDeadlines x D after the
//          module's first reply (a second reply up to that late is then seen before
//          any frame it could be taken for: 351 ms at 9600, 306 ms at 115200);
//          once it has sent a second reply, until 2 x the longest such delay + G after
//          each reply. A second reply later than the watch can still land on a frame
//          the module ignored; that watch is what a setting costs once per module, so
//          it stays at three deadlines, and a run to one module keeps a gap a setting;
//        - an unanswered frame until kOpenDeadlines x the line's deadline after its
//          last attempt, or the end of its exchange when that is later.
//   2. A module that answered late, or only after a retry, has a deadline (and
//      settle) of 2 x its slowest reply + G for the rest of the run; a reply after a
//      retry counts from the first attempt, since which one it answers is unknown.
//      Its slowest counts at most kOpenDeadlines x D, so waits cannot grow without end.
//   3. After a retry is answered the other attempt's reply may still come: nothing
//      goes to that module, whatever the command, until its last attempt is as past
//      answering as an unanswered frame (kOpenDeadlines x D, or its slowest delay when
//      longer) and a gap more.
//   4. A credited reply is doubtful, and its setting unconfirmed, when it breaks what
//      the module had shown (it came late, only after a retry, or with a second reply
//      farther apart than any seen before) while a frame with the same key went out
//      earlier in the run for another purpose: a leftover of that frame cannot be
//      ruled out. The first frame of its key has no such frame before it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "bus/exchange.h"

namespace tarvok::bus {

inline constexpr int kObserveDeadlines = 3;
inline constexpr int kOpenDeadlines = 4;

// What one module has shown in this run.
struct Evidence {
    std::optional<Micros> first_reply;  // when its first reply was credited
    Micros slowest{};                   // its slowest late reply; zero while none was late
    std::optional<Micros> copy_after;   // the longest time from a reply to a second one
    bool retried = false;               // a reply came only after a retry
    Micros quiet_until{};               // rule 3: nothing goes to it before this

    friend bool operator==(const Evidence&, const Evidence&) = default;
};

// What changed in a module's evidence, for the run to say once.
struct Learned {
    bool slow = false;
    bool copies = false;
    bool retried = false;
    bool any() const { return slow || copies || retried; }
};

// Who a frame is for: a setting, or a check of a setting (its own purpose).
using Owner = std::uint64_t;

class Ledger {
public:
    // The line's timing widened by what the module at `address` has shown.
    Timing timing(std::uint8_t address, const Timing& line) const;
    // The earliest time `frame` may go out by rules 1 and 3 (lenient: after every
    // frame sent, since any reply counts).
    Micros clear_at(const protocol::Frame& frame, Matching matching) const;
    // When no frame sent so far can still be answered.
    Micros all_clear_at() const;

    // `timing` as widened for the module; `line_deadline` the line's own.
    void sent(const protocol::Frame& frame, Owner owner, const Timing& timing, Micros line_deadline);
    // An exchange ended; `doubtful` is rule 4 for its reply.
    struct Finished {
        bool doubtful = false;
        Learned learned;
    };
    Finished finished(const Result& result);
    // A valid reply heard that no exchange took: a leftover of a frame of ours tells
    // how late or how often its module answers.
    Learned heard(const protocol::Frame& reply, Micros at);

    const Evidence* evidence(std::uint8_t address) const;

private:
    struct KeyRecord {
        Owner owner = 0;
        bool shared = false;  // frames of more than one owner went out with this key
        Timing timing{};
        Micros line_deadline{};
        std::optional<Micros> replied_at;  // the last reply credited to a frame of it
        Micros first_sent{};               // the first attempt of its last exchange
        bool answered = false;             // its last exchange was answered
        Micros unanswered_until{};
    };

    Micros open_until(std::uint16_t key, const KeyRecord& record) const;
    Learned learn_slow(Evidence& evidence, Micros delay) const;
    Learned learn_copy(Evidence& evidence, Micros after) const;

    std::map<std::uint16_t, KeyRecord> keys_;
    std::map<std::uint8_t, Evidence> modules_;
};

// What a reply repeats of the frame it answers.
std::uint16_t key_of(const protocol::Frame& frame);

}  // namespace tarvok::bus
