#include "plan/runner.h"

#include <algorithm>

#include "protocol/reply.h"
#include "protocol/scan.h"

namespace tarvok::plan {

namespace {

double ms_of(bus::Micros span) { return static_cast<double>(span.count()) / 1000.0; }

const protocol::LineSetting* line_setting(const PlanStep& step) {
    return std::get_if<protocol::LineSetting>(&step.request);
}

}  // namespace

Tally tally(std::span<const StepResult> results) {
    Tally t;
    for (const auto& r : results) {
        ++t.counts.at(static_cast<std::size_t>(r.outcome));
    }
    return t;
}

Runner::Runner(bus::Line& line, RunSettings settings, const std::vector<PlanStep>& steps,
               RunListener& listener)
    : line_(line), settings_(settings), listener_(listener), engine_(line, *this) {
    results_.reserve(steps.size());
    for (const auto& step : steps) {
        StepResult result;
        result.step = step;
        result.frame = protocol::encode(step.address, step.request);
        results_.push_back(std::move(result));
    }
}

void Runner::start() {
    started_ = true;
    next();
}

void Runner::stop() {
    stopping_ = true;
    engine_.stop();
}

void Runner::abort() {
    if (ended_) {
        return;
    }
    pending_.reset();
    if (index_ < results_.size() && results_[index_].attempts > 0) {
        StepResult& s = results_[index_];
        s.outcome = s.moved_to ? Outcome::unconfirmed : Outcome::no_reply;
        s.doubt = s.moved_to ? Doubt::stopped_unproven : Doubt::none;
        s.cut_off = true;
        s.unsent = Unsent::stopped;
        listener_.step_finished(s);
        ++index_;
    }
    end(RunEnd::stopped, Unsent::stopped);
}

bus::Timing Runner::timing_at(const protocol::LineSetting& line) const {
    return bus::timing_for(line, settings_.timeout_ms);
}

protocol::LineSetting Runner::line_for(const PlanStep& step) const {
    if (const auto moved = moved_.find(step.address); settings_.follow && moved != moved_.end()) {
        return moved->second;
    }
    return step.module_line.value_or(settings_.line);
}

void Runner::next() {
    if (ended_) {
        return;
    }
    if (fault_) {
        end(RunEnd::line_fault, Unsent::line_fault);
        return;
    }
    if (stopping_) {
        end(RunEnd::stopped, Unsent::stopped);
        return;
    }
    if (index_ == results_.size()) {
        end(RunEnd::completed, Unsent::none);
        return;
    }
    StepResult& r = results_[index_];
    r.line = line_for(r.step);
    if (const auto moved = moved_.find(r.step.address);
        moved != moved_.end() && !(moved->second == r.line)) {
        r.module_moved_to = moved->second;
    }
    listener_.step_started(index_, results_.size());
    send_at(r.line, r.frame, setting_owner(index_));
}

void Runner::send_at(const protocol::LineSetting& line, const protocol::Frame& frame,
                     bus::Owner owner) {
    if (!(line_.setting() == line)) {
        // Every frame sent at the old line must be past answering first: a reply still
        // on its way would be garbled by the change, or credited at the new line.
        pending_ = Pending{line, frame, owner};
        engine_.settle(timing_at(line_.setting()));
        return;
    }
    bus::Request request;
    request.frame = frame;
    request.retries = settings_.retries;
    request.timing = timing_at(line);
    request.matching = settings_.matching;
    if (!is_proof(owner)) {
        const bus::Timing widened = engine_.ledger().timing(frame[protocol::kAddressByte],
                                                            request.timing);
        results_[index_].wait_ms = static_cast<int>(widened.deadline.count() / 1000);
    }
    engine_.exchange(request, owner);
}

void Runner::settled() {
    if (!pending_ || ended_) {
        return;
    }
    const Pending pending = *pending_;
    pending_.reset();
    if (stopping_ || fault_) {
        if (is_proof(pending.owner)) {
            results_[index_].outcome = Outcome::unconfirmed;
            results_[index_].doubt = Doubt::stopped_unproven;
            step_done();
            return;
        }
        next();
        return;
    }
    if (!line_.set_setting(pending.line)) {
        fault_ = bus::LineFault::write;
        next();
        return;
    }
    send_at(pending.line, pending.frame, pending.owner);
}

void Runner::finished(const bus::Result& r, bus::Owner owner) {
    if (ended_) {
        return;
    }
    listener_.exchanged(r);
    if (is_proof(owner)) {
        take_proof(r);
    } else {
        take_result(r);
    }
}

void Runner::take_result(const bus::Result& r) {
    StepResult& s = results_[index_];
    s.reply = r.reply;
    s.echoed = r.repeats_request;
    s.received = r.heard;
    s.attempts = r.attempts;
    s.late = r.late;
    s.busy = r.busy;
    s.echoes = r.echoes;
    s.duplicates = r.duplicates;
    s.reply_ms = ms_of(r.reply_after);
    s.milliseconds = r.attempts > 0 ? ms_of(r.ended - r.first_sent) : 0;
    const auto* line = line_setting(s.step);
    if (r.not_sent || r.write_failed) {
        s.outcome = Outcome::not_sent;
        s.unsent = r.write_failed ? Unsent::write_failed : r.busy ? Unsent::line_busy : Unsent::stopped;
        fault_ = r.write_failed ? std::optional(bus::LineFault::write) : fault_;
        step_done();
        return;
    }
    if (!r.reply) {
        s.outcome = Outcome::no_reply;
        if (line != nullptr) {
            s.maybe_at = *line;  // only the reply may have been lost
        }
        step_done();
        return;
    }
    const bool success = protocol::judge(*r.reply) == protocol::Verdict::success;
    s.outcome = r.doubtful ? Outcome::unconfirmed : success ? Outcome::done : Outcome::refused;
    s.doubt = r.doubtful ? Doubt::leftover : Doubt::none;
    if (line == nullptr || s.outcome != Outcome::done) {
        step_done();
        return;
    }
    // The module said yes; it counts once it answers at the line it was told.
    s.moved_to = *line;
    send_at(*line, protocol::no_op_frame(s.step.address, *line), proof_owner(index_));
}

void Runner::take_proof(const bus::Result& r) {
    StepResult& s = results_[index_];
    if (r.reply && !r.doubtful) {
        s.proven = true;
        moved_[s.step.address] = *s.moved_to;
    } else {
        s.outcome = Outcome::unconfirmed;
        s.doubt = r.stopped || r.not_sent ? Doubt::stopped_unproven : Doubt::line_unproven;
        if (r.write_failed) {
            fault_ = bus::LineFault::write;
        }
    }
    step_done();
}

void Runner::step_done() {
    StepResult& s = results_[index_];
    if (s.proven && !settings_.follow) {
        s.later_need_line = std::any_of(
            results_.begin() + static_cast<std::ptrdiff_t>(index_) + 1, results_.end(),
            [&s](const StepResult& later) {
                return later.step.address == s.step.address && !later.step.module_line;
            });
    }
    listener_.step_finished(s);
    ++index_;
    next();
}

void Runner::end(RunEnd how, Unsent why) {
    if (ended_) {
        return;
    }
    ended_ = true;
    for (std::size_t i = index_; i < results_.size(); ++i) {
        results_[i].outcome = Outcome::not_sent;
        results_[i].unsent = why;
    }
    engine_.stop();
    listener_.run_finished(how);
}

void Runner::line_faulted(bus::LineFault which) {
    if (ended_) {
        return;
    }
    fault_ = which;
    engine_.stop();
}

void Runner::line_lost() {
    if (ended_) {
        return;
    }
    pending_.reset();
    if (index_ < results_.size() && results_[index_].attempts > 0) {
        StepResult& s = results_[index_];
        s.outcome = Outcome::no_reply;
        s.cut_off = true;
        s.unsent = Unsent::port_lost;
        listener_.step_finished(s);
        ++index_;
    }
    end(RunEnd::port_lost, Unsent::port_lost);
}

}  // namespace tarvok::plan
