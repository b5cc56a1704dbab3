// What became of each setting of a run, as facts: the front ends put them into words.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "bus/ledger.h"
#include "plan/plan.h"
#include "protocol/frame.h"
#include "protocol/tables.h"

namespace tarvok::plan {

enum class Outcome {
    done,         // the module answered with success to this very frame
    refused,      // the module answered with status 0; never sent again
    no_reply,     // nothing that counts as a reply, after every retry
    unconfirmed,  // a reply came, but it cannot be shown to answer this frame
    not_sent,     // the run ended before this setting went out
};

// The machine words, in Outcome's order and the same in every language (JSON, records).
inline constexpr std::array<std::string_view, 5> kOutcomeNames = {
    "done", "refused", "no-reply", "unconfirmed", "not-sent"};

constexpr std::string_view outcome_name(Outcome outcome) {
    return kOutcomeNames.at(static_cast<std::size_t>(outcome));
}

// Why a reply does not confirm its setting.
enum class Doubt {
    none,
    leftover,         // it may be a late or second reply to an earlier frame of its key
    line_unproven,    // a line setting the module did not answer at its new line
    stopped_unproven  // a line setting answered, but the run stopped before the check
};

// Why a setting did not go out, or its exchange was cut short.
enum class Unsent { none, stopped, port_lost, line_fault, line_busy, write_failed };

struct StepResult {
    PlanStep step;
    protocol::Frame frame{};
    protocol::LineSetting line{};  // the line it went out at
    std::optional<protocol::Frame> reply;
    Outcome outcome = Outcome::not_sent;
    Doubt doubt = Doubt::none;
    Unsent unsent = Unsent::none;
    bool echoed = true;    // false: the reply did not repeat the address and command sent
    bool late = false;     // the reply came after the deadline, with nothing sent since
    bool busy = false;     // the line never went quiet long enough to judge a reply
    bool cut_off = false;  // the port failed while this setting waited for its reply
    int echoes = 0;        // frames the adapter handed back
    int duplicates = 0;    // further replies to it
    int attempts = 0;
    int wait_ms = 0;          // how long each attempt waited at most
    double reply_ms = 0;      // from the send of the answered attempt to its reply
    double milliseconds = 0;  // from the first send to the outcome
    std::vector<std::uint8_t> received;  // every byte heard during the last attempt
    // A line setting: where the module listens now, when its reply said so, and
    // whether it answered there; where it may listen when no reply came.
    std::optional<protocol::LineSetting> moved_to;
    bool proven = false;
    std::optional<protocol::LineSetting> maybe_at;
    // Later settings of the plan are for this module and will go out at the run's
    // line, which it no longer listens at (no --follow).
    bool later_need_line = false;
    // This setting went at the run's line to a module an earlier one moved.
    std::optional<protocol::LineSetting> module_moved_to;
};

// The line and waiting a run uses.
struct RunSettings {
    protocol::LineSetting line;
    std::optional<int> timeout_ms;  // per attempt; from the line rate when absent
    int retries = 1;
    bus::Matching matching = bus::Matching::strict;
    bool follow = false;  // after a proven line change, talk to that module at its new line
};

// Something met on the line besides the results.
struct Remark {
    enum class Kind {
        late,          // a reply to an earlier setting's frame, after something else went out
        duplicate,     // a second reply to a setting's frame
        unmatched,     // a valid reply that answers no frame in flight
        garbled_echo,  // eight bytes starting 55 that are not the frame just sent
        discarded,     // bytes heard before any frame, dropped
        learned,       // a module showed that it answers late, twice or after a retry
    };
    Kind kind = Kind::late;
    std::optional<std::size_t> step;  // the setting whose exchange it was met in
    std::vector<std::uint8_t> bytes;
    bus::Micros after{};
    std::uint8_t address = 0;
    bus::Learned learned;
    bus::Evidence evidence;
    bus::Timing timing{};  // learned: the module's waits from now on
};

enum class RunEnd { completed, stopped, port_lost, line_fault };

// How many settings ended each way.
struct Tally {
    std::array<int, kOutcomeNames.size()> counts{};
    int of(Outcome outcome) const { return counts.at(static_cast<std::size_t>(outcome)); }
};
Tally tally(std::span<const StepResult> results);

}  // namespace tarvok::plan
