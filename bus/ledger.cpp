#include "bus/ledger.h"

#include <algorithm>

namespace tarvok::bus {

namespace {

std::uint8_t address_of(std::uint16_t key) { return static_cast<std::uint8_t>(key >> 8U); }

}  // namespace

std::uint16_t key_of(const protocol::Frame& frame) {
    return static_cast<std::uint16_t>(frame[protocol::kAddressByte] << 8U |
                                      frame[protocol::kCodeByte]);
}

const Evidence* Ledger::evidence(std::uint8_t address) const {
    const auto found = modules_.find(address);
    return found == modules_.end() ? nullptr : &found->second;
}

Timing Ledger::timing(std::uint8_t address, const Timing& line) const {
    Timing t = line;
    if (const Evidence* e = evidence(address); e != nullptr && e->slowest > Micros{0}) {
        const Micros slowest = std::min(e->slowest, kOpenDeadlines * line.deadline);
        t.deadline = std::max(t.deadline, 2 * slowest + line.gap);
        // A settle the caller set to nothing (a scan: every frame for another address)
        // stays nothing.
        t.settle = line.settle > Micros{0} ? std::max(line.settle, t.deadline) : line.settle;
    }
    return t;
}

Micros Ledger::open_until(std::uint16_t key, const KeyRecord& record) const {
    Micros until = record.unanswered_until;
    const Evidence* e = evidence(address_of(key));
    if (!record.replied_at || e == nullptr) {
        return until;
    }
    const Micros reply = *record.replied_at;
    const Timing& t = record.timing;
    until = std::max(until, reply + t.gap);
    if (e->copy_after) {
        until = std::max(until, reply + 2 * *e->copy_after + t.gap);
    }
    if (e->first_reply) {
        until = std::max(until, *e->first_reply + kObserveDeadlines * t.deadline);
    }
    return until;
}

Micros Ledger::clear_at(const protocol::Frame& frame, Matching matching) const {
    Micros at{0};
    if (const Evidence* e = evidence(frame[protocol::kAddressByte])) {
        at = e->quiet_until;
    }
    switch (matching) {
    case Matching::strict:
        if (const auto found = keys_.find(key_of(frame)); found != keys_.end()) {
            at = std::max(at, open_until(found->first, found->second));
        }
        return at;
    case Matching::lenient:
        break;
    }
    return std::max(at, all_clear_at());
}

Micros Ledger::all_clear_at() const {
    Micros at{0};
    for (const auto& [key, record] : keys_) {
        at = std::max(at, open_until(key, record));
    }
    for (const auto& [address, e] : modules_) {
        at = std::max(at, e.quiet_until);
    }
    return at;
}

void Ledger::sent(const protocol::Frame& frame, Owner owner, const Timing& timing,
                  Micros line_deadline) {
    auto [found, added] = keys_.try_emplace(key_of(frame));
    KeyRecord& record = found->second;
    if (added) {
        record.owner = owner;
    }
    record.shared = record.shared || record.owner != owner;
    record.timing = timing;
    record.line_deadline = line_deadline;
}

Learned Ledger::learn_slow(Evidence& e, Micros delay) const {
    Learned learned;
    learned.slow = delay > e.slowest && e.slowest == Micros{0};
    e.slowest = std::max(e.slowest, delay);
    return learned;
}

Learned Ledger::learn_copy(Evidence& e, Micros after) const {
    Learned learned;
    learned.copies = !e.copy_after;
    e.copy_after = std::max(e.copy_after.value_or(Micros{0}), after);
    return learned;
}

Ledger::Finished Ledger::finished(const Result& r) {
    KeyRecord& record = keys_[key_of(r.sent)];
    Evidence& e = modules_[r.sent[protocol::kAddressByte]];
    record.first_sent = r.first_sent;
    record.answered = r.reply.has_value();
    Finished f;
    if (!r.reply) {
        const Micros open = std::max(r.ended, r.last_sent + kOpenDeadlines * record.line_deadline);
        record.unanswered_until = std::max(record.unanswered_until, open);
        return f;
    }
    const bool after_retry = r.attempts > 1;
    const bool new_copy = r.duplicates > 0 && (!e.copy_after || r.duplicate_after > *e.copy_after);
    const bool broke = r.late || after_retry || new_copy;
    f.doubtful = broke && record.shared;
    record.replied_at = r.replied_at;
    e.first_reply = e.first_reply.value_or(r.replied_at);
    if (r.late || after_retry) {
        const Micros delay = r.replied_at - r.first_sent;
        const Learned slow = learn_slow(e, delay);
        f.learned.slow = slow.slow;
    }
    if (after_retry) {
        f.learned.retried = !e.retried;
        e.retried = true;
        // Which attempt the reply answered is unknown: every other one is as open as an
        // unanswered frame.
        const Micros open = std::max(std::min(r.replied_at - r.first_sent,
                                              kOpenDeadlines * record.timing.deadline),
                                     kOpenDeadlines * record.line_deadline);
        e.quiet_until = std::max(e.quiet_until, r.last_sent + open + record.timing.gap);
    }
    if (r.duplicates > 0) {
        f.learned.copies = learn_copy(e, r.duplicate_after).copies;
    }
    return f;
}

Learned Ledger::heard(const protocol::Frame& reply, Micros at) {
    const auto found = keys_.find(key_of(reply));
    if (found == keys_.end()) {
        return {};  // no frame of ours has that address and command
    }
    KeyRecord& record = found->second;
    Evidence& e = modules_[reply[protocol::kAddressByte]];
    const Learned learned = record.answered && record.replied_at
                                ? learn_copy(e, at - *record.replied_at)
                                : learn_slow(e, at - record.first_sent);
    // A reply like any other: its own second reply may follow, and the module's
    // watch starts with its first.
    record.answered = true;
    record.replied_at = std::max(record.replied_at.value_or(at), at);
    e.first_reply = e.first_reply.value_or(at);
    return learned;
}

}  // namespace tarvok::bus
