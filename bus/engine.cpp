#include "bus/engine.h"

#include <algorithm>
#include <array>
#include <utility>

#include "protocol/reply.h"

namespace tarvok::bus {

Engine::Engine(Line& line, EngineListener& listener) : line_(line), listener_(listener) {
    line_.set_listener(this);
}

Engine::~Engine() {
    line_.set_listener(nullptr);
    line_.cancel_wake();
}

bool Engine::idle() const {
    return !queued_ && (!current_ || current_->finished()) && !settling_;
}

Micros Engine::quiet_at(Micros gap) const { return last_byte_ ? *last_byte_ + gap : Micros{0}; }

void Engine::exchange(const Request& request, Owner owner) {
    queued_ = Queued{request, owner, line_.now()};
    if (stopping_) {
        rearm();  // ends unsent from the loop, not inside the caller
        return;
    }
    try_start();
}

void Engine::observe(const protocol::Frame& frame, Owner owner, const Timing& timing) {
    take_input();
    if (current_ && !current_->finished()) {
        apply(current_->cut(line_.now()));
    }
    Request request;
    request.frame = frame;
    request.retries = 0;
    request.timing = timing;
    start({request, owner, line_.now()}, false);
}

void Engine::settle(const Timing& timing) {
    settling_ = timing;
    settle_asked_ = line_.now();
    rearm();  // settled() comes from the loop, never inside this call
}

void Engine::stop() {
    stopping_ = true;
    if (queued_) {
        const Queued queued = *queued_;
        queued_.reset();
        finish_unsent(queued, false);
        return;
    }
    if (current_ && !current_->finished()) {
        apply(current_->stop(line_.now()));
    }
}

std::optional<Micros> Engine::start_at(const Queued& q) const {
    const Micros clear = ledger_.clear_at(q.request.frame, q.request.matching);
    const Micros quiet = quiet_at(q.request.timing.gap);
    const Micros now = line_.now();
    if (quiet > now && now >= q.wanted_at + kBusyDeadlines * q.request.timing.deadline) {
        return std::nullopt;  // the line never went quiet enough to send
    }
    return std::max(clear, quiet);
}

void Engine::try_start() {
    if (!queued_ || (current_ && !current_->finished())) {
        return;
    }
    take_input();  // judged against the exchange before, not dropped unheard
    if (!queued_) {
        return;  // a handler of what was heard stopped the run
    }
    const Queued queued = *queued_;
    if (stopping_) {
        queued_.reset();
        finish_unsent(queued, false);
        return;
    }
    const auto at = start_at(queued);
    if (!at) {
        queued_.reset();
        finish_unsent(queued, true);
        return;
    }
    if (line_.now() < *at) {
        rearm();
        return;
    }
    queued_.reset();
    if (!stray_.empty()) {
        const std::vector<std::uint8_t> dropped = std::exchange(stray_, {});
        listener_.discarded(dropped);
    }
    start(queued, true);
}

void Engine::start(const Queued& queued, bool write) {
    if (current_) {
        current_->drop_pending();
        publish_notes(true);
    }
    // The line's own deadline, widened by what the module has shown.
    Request request = queued.request;
    request.timing = ledger_.timing(request.frame[protocol::kAddressByte], request.timing);
    line_deadline_ = queued.request.timing.deadline;
    current_.emplace(request);
    owner_ = queued.owner;
    writes_ = write;
    result_sent_ = false;
    apply(current_->start(line_.now()));
}

void Engine::finish_unsent(const Queued& queued, bool busy) {
    Result result;
    result.sent = queued.request.frame;
    result.not_sent = true;
    result.busy = busy;
    result.stopped = !busy;
    result.ended = line_.now();
    rearm();
    listener_.finished(result, queued.owner);
}

void Engine::take_input() {
    std::vector<std::uint8_t> bytes = line_.take_input();
    if (bytes.empty()) {
        return;
    }
    const Micros now = line_.now();
    last_byte_ = now;
    if (!current_) {
        judge_stray(bytes);
        return;
    }
    const bool after_end = current_->finished();
    const Step step = current_->take(bytes, now);
    publish_notes(after_end);
    apply(step);
}

void Engine::apply(const Step& step) {
    if (step.send) {
        const Result& r = current_->result();
        ledger_.sent(r.sent, owner_, current_->timing(), line_deadline_);
        if (writes_ && !line_.write(r.sent)) {
            publish_notes(false);
            apply(current_->write_failed(line_.now()));
            return;
        }
    }
    publish_notes(false);
    exchange_wake_ = step.wake;
    if (step.finished && !result_sent_) {
        result_sent_ = true;
        Result result = current_->result();
        const Ledger::Finished f = ledger_.finished(result);
        result.doubtful = result.reply && f.doubtful;
        const std::uint8_t address = result.sent[protocol::kAddressByte];
        if (f.learned.any()) {
            listener_.learned(address, f.learned, *ledger_.evidence(address));
        }
        rearm();
        // The handler may start the next exchange, which replaces this one.
        listener_.finished(result, owner_);
        if (queued_) {
            try_start();
        }
        check_settled();
        return;
    }
    rearm();
}

void Engine::check_settled() {
    if (!settling_ || queued_ || (current_ && !current_->finished())) {
        return;
    }
    const Micros now = line_.now();
    const Micros clear = std::max(ledger_.all_clear_at(), quiet_at(settling_->gap));
    const Micros give_up =
        std::max(ledger_.all_clear_at(), settle_asked_) + kBusyDeadlines * settling_->deadline;
    if (now < clear && now < give_up) {
        rearm();
        return;
    }
    settling_.reset();
    rearm();
    listener_.settled();
}

void Engine::rearm() {
    std::optional<Micros> wake;
    const auto earliest = [&wake](Micros at) { wake = wake ? std::min(*wake, at) : at; };
    if (current_ && !current_->finished() && exchange_wake_) {
        earliest(*exchange_wake_);
    }
    if (queued_ && (!current_ || current_->finished())) {
        // While the line is not quiet, the busy limit may come first.
        const auto at = start_at(*queued_);
        const Micros busy = queued_->wanted_at + kBusyDeadlines * queued_->request.timing.deadline;
        const bool noisy = quiet_at(queued_->request.timing.gap) > line_.now();
        earliest(!at ? line_.now() : noisy ? std::min(*at, busy) : *at);
    }
    if (settling_ && (!current_ || current_->finished()) && !queued_) {
        earliest(std::min(std::max(ledger_.all_clear_at(), quiet_at(settling_->gap)),
                          std::max(ledger_.all_clear_at(), settle_asked_) +
                              kBusyDeadlines * settling_->deadline));
    }
    if (wake) {
        line_.wake_at(*wake);
    } else {
        line_.cancel_wake();
    }
}

void Engine::input_arrived() {
    take_input();
    if (queued_ || settling_) {
        rearm();
    }
}

void Engine::alarm() {
    const Micros now = line_.now();
    if (current_ && !current_->finished()) {
        apply(current_->tick(now));
    }
    if (queued_) {
        try_start();
    }
    check_settled();
}

void Engine::faulted(LineFault which) { listener_.line_faulted(which); }

void Engine::lost() {
    queued_.reset();
    current_.reset();
    settling_.reset();
    line_.cancel_wake();
    listener_.line_lost();
}

}  // namespace tarvok::bus
