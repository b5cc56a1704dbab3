#include "bus/exchange.h"

#include <algorithm>
#include <array>
#include <utility>

#include "protocol/reply.h"
#include "protocol/wire.h"

namespace tarvok::bus {

namespace {

using protocol::Frame;
using protocol::kFrameSize;

}  // namespace

Timing timing_for(std::uint32_t baud, protocol::Parity parity, std::optional<int> deadline_ms) {
    const Micros deadline =
        std::chrono::milliseconds(deadline_ms.value_or(protocol::reply_timeout_ms(baud, parity)));
    const Micros gap = kUsbLatencyAllowance + protocol::wire_time(kGapCharacters, baud, parity);
    return {deadline, gap, deadline};
}

Timing timing_for(const protocol::LineSetting& line, std::optional<int> deadline_ms) {
    return timing_for(line.baud, line.parity, deadline_ms);
}

Exchange::Exchange(Request request) : request_(request) {
    result_.sent = request.frame;
    result_.deadline = request.timing.deadline;
}

std::vector<Note> Exchange::take_notes() { return std::exchange(notes_, {}); }

void Exchange::note(Note::Kind kind, std::span<const std::uint8_t> bytes, Micros after) {
    notes_.push_back({kind, {bytes.begin(), bytes.end()}, result_.attempts, after});
}

Step Exchange::start(Micros now) { return send(now); }

Step Exchange::send(Micros now) {
    if (++result_.attempts == 1) {
        result_.first_sent = now;
    }
    result_.last_sent = now;
    result_.heard.clear();
    junk_.insert(junk_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    flush_junk();
    phase_ = Phase::waiting;
    sent_at_ = now;
    last_byte_ = now;
    echo_possible_ = true;
    note(Note::Kind::sent, request_.frame);
    Step s = step();
    s.send = true;
    return s;
}

bool Exchange::answers(const Frame& reply) const {
    return request_.matching == Matching::lenient || protocol::echoes(reply, request_.frame);
}

Step Exchange::take(std::span<const std::uint8_t> bytes, Micros now) {
    if (bytes.empty()) {
        return step();
    }
    last_byte_ = now;
    if (phase_ != Phase::done) {
        result_.heard.insert(result_.heard.end(), bytes.begin(), bytes.end());
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    if (phase_ == Phase::waiting) {
        phase_ = Phase::receiving;
    }
    if (phase_ == Phase::settling) {
        quiet_from_ = now;
    }
    judge_pending(now);
    if (phase_ == Phase::done) {
        flush_junk();  // nothing is waiting for it any more
    }
    return step();
}

void Exchange::judge_echo() {
    if (!echo_possible_ || pending_.empty()) {
        return;
    }
    if (pending_.front() != protocol::kCommandStart) {
        echo_possible_ = false;
        return;
    }
    if (pending_.size() < kFrameSize) {
        return;  // the rest of the echo is still coming
    }
    echo_possible_ = false;
    const Frame echoed = protocol::frame_from(pending_);
    pending_.erase(pending_.begin(), pending_.begin() + kFrameSize);
    if (echoed == request_.frame) {
        ++result_.echoes;
        note(Note::Kind::echo, echoed);
    } else {
        note(Note::Kind::garbled_echo, echoed);
    }
}

void Exchange::judge_pending(Micros now) {
    static constexpr std::array<std::uint8_t, 1> kStarts{protocol::kReplyStart};
    judge_echo();
    if (echo_possible_) {
        return;
    }
    while (true) {
        const auto scan = protocol::scan_frame(pending_, kStarts);
        junk_.insert(junk_.end(), pending_.begin(),
                     pending_.begin() + static_cast<std::ptrdiff_t>(scan.skip));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(scan.skip));
        if (!scan.frame) {
            return;
        }
        pending_.erase(pending_.begin(), pending_.begin() + kFrameSize);
        flush_junk();
        judge_frame(*scan.frame, now);
    }
}

void Exchange::judge_frame(const Frame& frame, Micros now) {
    if (!answers(frame)) {
        note(Note::Kind::unmatched, frame);
        return;
    }
    switch (phase_) {
    case Phase::waiting:
    case Phase::receiving:
    case Phase::settling:
        result_.reply = frame;
        result_.repeats_request = protocol::echoes(frame, request_.frame);
        result_.late = phase_ == Phase::settling;
        result_.reply_after = now - sent_at_;
        result_.replied_at = now;
        result_.ended = now;
        phase_ = Phase::lingering;
        note(Note::Kind::reply, frame, result_.reply_after);
        notes_.back().late = result_.late;
        return;
    case Phase::lingering:
        ++result_.duplicates;
        result_.duplicate_after = std::max(result_.duplicate_after, now - result_.replied_at);
        note(Note::Kind::duplicate, frame, now - result_.replied_at);
        return;
    case Phase::done:
        break;
    }
    if (result_.reply) {
        note(Note::Kind::duplicate, frame, now - result_.replied_at);
    } else {
        note(Note::Kind::late, frame, now - sent_at_);
    }
}

void Exchange::flush_junk() {
    if (!junk_.empty()) {
        note(Note::Kind::junk, junk_);
        junk_.clear();
    }
}

Step Exchange::stop(Micros now) {
    stopping_ = true;
    result_.stopped = phase_ != Phase::done;
    if (phase_ == Phase::settling || phase_ == Phase::lingering) {
        end(now);
    }
    return step();
}

Step Exchange::write_failed(Micros now) {
    result_.write_failed = true;
    end(now);
    return step();
}

Step Exchange::cut(Micros now) {
    if (phase_ != Phase::done) {
        end(now);
    }
    return step();
}

void Exchange::drop_pending() {
    junk_.insert(junk_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    flush_junk();
}

Micros Exchange::busy_at() const { return sent_at_ + kBusyDeadlines * request_.timing.deadline; }

void Exchange::miss_deadline() {
    note(Note::Kind::deadline, {});
    phase_ = Phase::settling;
    quiet_from_ = std::max(last_byte_, sent_at_ + request_.timing.deadline);
}

Step Exchange::tick(Micros now) {
    if (phase_ == Phase::done || now < wake()) {
        return step();
    }
    if (now >= busy_at()) {
        result_.busy = true;
        end(now);
        return step();
    }
    switch (phase_) {
    case Phase::receiving:
        // The bytes paused for longer than a reply's gap. A partial reply stays: should
        // the rest come after all, it still completes.
        if (now < sent_at_ + request_.timing.deadline) {
            phase_ = Phase::waiting;
            return step();
        }
        [[fallthrough]];
    case Phase::waiting:
        miss_deadline();
        if (stopping_) {
            end(now);
        }
        return step();
    case Phase::settling:
        if (!stopping_ && result_.attempts <= request_.retries) {
            return send(now);
        }
        end(now);
        return step();
    case Phase::lingering:
        end(now);
        return step();
    case Phase::done:
        break;
    }
    return step();
}

void Exchange::end(Micros now) {
    drop_pending();
    if (!result_.reply) {
        result_.ended = now;
    }
    phase_ = Phase::done;
}

Micros Exchange::wake() const {
    const Timing& t = request_.timing;
    const Micros busy = busy_at();
    switch (phase_) {
    case Phase::waiting:
        return sent_at_ + t.deadline;
    case Phase::receiving:
        return std::min(last_byte_ + t.gap, busy);
    case Phase::settling:
        return std::min(quiet_from_ + t.settle, busy);
    case Phase::lingering:
        return std::min(last_byte_ + t.gap, busy);
    case Phase::done:
        break;
    }
    return Micros::max();
}

Step Exchange::step() const {
    Step s;
    s.finished = phase_ == Phase::done;
    if (!s.finished) {
        s.wake = wake();
    }
    return s;
}

}  // namespace tarvok::bus
