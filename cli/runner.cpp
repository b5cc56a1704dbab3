#include "cli/runner.h"

#include "bus/bus.h"
#include "cli/remarks.h"
#include "protocol/reply.h"
#include "serial/port.h"
#include "serial/port_messages.h"

namespace tarvok::cli {

namespace {

std::string text_of(std::string_view text) { return std::string(text); }

std::string line_text(const protocol::LineSetting& line) {
    return std::to_string(line.baud) + " 波特、" +
           text_of(protocol::name_in(protocol::kParities, line.parity));
}

std::string line_options(const protocol::LineSetting& line) {
    return "--baud " + std::to_string(line.baud) + " --parity " +
           text_of(protocol::find_value(protocol::kParities, line.parity)->alias);
}

// What to do when a module now runs at a rate the rest of the run does not use;
// `in_plan` when later lines of the plan may still be for it.
std::string follow_advice(std::uint8_t address, const protocol::LineSetting& now, bool in_plan) {
    return "模块此后按 " + line_text(now) + "收发；" +
           (in_plan ? "之后发给地址 " + std::to_string(address) +
                          " 的设置需要新的波特率：加 --follow，或另用 " + line_options(now)
                    : "以后发给它的设置请用 " + line_options(now));
}

double ms_of(bus::Micros span) { return static_cast<double>(span.count()) / 1000.0; }

}  // namespace

Runner::Runner(RunConfig config, const std::vector<PlanStep>& steps, QObject* parent)
    : QObject(parent),
      config_(config),
      port_(new serial::Port(this)),
      bus_(new bus::Bus(*port_, this)),
      current_(config.line) {
    results_.reserve(steps.size());
    for (const auto& step : steps) {
        StepResult result;
        result.step = step;
        result.frame = protocol::encode(step.address, step.request);
        results_.push_back(std::move(result));
    }
    connect(bus_, &bus::Bus::finished, this, &Runner::exchanged);
    connect(bus_, &bus::Bus::noted, this, &Runner::noted);
    connect(bus_, &bus::Bus::discarded, this, [this](const QByteArray& bytes) {
        emit remark(
            "发送前线路上已有 " + std::to_string(bytes.size()) + " 字节，已丢弃：" +
            protocol::hex(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size()))));
    });
    connect(port_, &serial::Port::lost, this, &Runner::port_lost);
}

void Runner::start() { run_next(); }

void Runner::interrupt(Exit code) {
    interrupted_ = code;
    if (!waiting_) {
        stop(code, QString());
    }
}

protocol::LineSetting Runner::line_for(std::uint8_t address) const {
    const auto moved = moved_.find(address);
    return config_.follow && moved != moved_.end() ? moved->second : config_.line;
}

// Opens the port at `line`, or reopens it when it runs at another rate; the
// open failure in the window's words otherwise.
std::optional<QString> Runner::use_line(const protocol::LineSetting& line) {
    if (port_->is_open() && line == current_) {
        return std::nullopt;
    }
    if (const auto error = port_->open(config_.port, line)) {
        return serial::open_failed(config_.port, *error);
    }
    current_ = line;
    return std::nullopt;
}

void Runner::run_next() {
    if (stopped_) {
        return;
    }
    if (interrupted_) {
        stop(*interrupted_, QString());
        return;
    }
    if (index_ == results_.size()) {
        stop(exit_for(results_), QString());
        return;
    }
    if (const auto error = use_line(line_for(results_[index_].step.address))) {
        stop(Exit::port_unavailable, *error);
        return;
    }
    emit step_started(index_, results_.size());
    StepResult& result = results_[index_];
    bus::Request request;
    request.frame = result.frame;
    request.retries = config_.retries;
    request.timing = bus::timing_for(current_.baud, current_.parity, config_.timeout_ms);
    request.matching = config_.lenient ? bus::Matching::lenient : bus::Matching::strict;
    result.wait_ms = static_cast<int>(request.timing.deadline.count() / 1000);
    waiting_ = true;
    bus_->exchange(request);
}

void Runner::noted(const bus::Note& note) {
    if (note.kind == bus::Note::Kind::sent && note.attempt == 1) {
        noting_ = index_;
        results_[index_].attempts = 1;
    }
    if (noting_ < results_.size()) {
        if (const auto text = remark_text(note, results_[noting_])) {
            emit remark(*text);
        }
    }
}

void Runner::exchanged(const bus::Result& r) {
    if (!waiting_) {
        return;
    }
    waiting_ = false;
    StepResult& result = results_[index_];
    result.reply = r.reply;
    result.echoed = r.repeats_request;
    result.received = r.heard;
    result.attempts = r.attempts;
    result.late = r.late;
    result.busy = r.busy;
    result.echoes = r.echoes;
    result.reply_ms = ms_of(r.reply_after);
    result.milliseconds = ms_of(r.ended - r.first_sent);
    const bool success = r.reply && protocol::judge(*r.reply) == protocol::Verdict::success;
    result.outcome = !r.reply ? Outcome::no_reply : success ? Outcome::done : Outcome::refused;
    note_line_change(result);
    emit step_finished(result);
    ++index_;
    // The port may be closed only from the event loop, never inside its own receive
    // event: at the end of the run, and to reopen it at another rate.
    const bool same_line = !interrupted_ && index_ < results_.size() &&
                           line_for(results_[index_].step.address) == current_;
    if (same_line) {
        run_next();
    } else {
        QMetaObject::invokeMethod(this, &Runner::run_next, Qt::QueuedConnection);
    }
}

void Runner::note_line_change(StepResult& result) {
    const std::uint8_t address = result.step.address;
    const auto moved = moved_.find(address);
    const auto* line = std::get_if<protocol::LineSetting>(&result.step.request);
    if (result.outcome == Outcome::no_reply && moved != moved_.end() && !config_.follow) {
        result.note = "地址 " + std::to_string(address) + " 已改为 " + line_text(moved->second) +
                      "，本项仍按 " + line_text(current_) + "发送";
        return;
    }
    if (result.outcome == Outcome::no_reply && line != nullptr) {
        // Only the reply may have been lost: the module may run at the new rate already.
        const protocol::LineSetting asked{line->baud, line->parity};
        result.note = "模块可能已经按 " + line_text(asked) + "运行（也许只是回复丢失）：用 " +
                      line_options(asked) + " 再发一次任意设置即可确认";
        return;
    }
    if (result.outcome != Outcome::done || line == nullptr) {
        return;
    }
    const protocol::LineSetting now{line->baud, line->parity};
    moved_[address] = now;
    result.note = config_.follow
                      ? "此后按 " + line_text(now) + "与地址 " + std::to_string(address) + " 通讯"
                      : follow_advice(address, now, result.step.line != 0);
}

void Runner::port_lost(const serial::SerialError& error) {
    bus_->abandon();
    if (waiting_) {
        waiting_ = false;
        StepResult& result = results_[index_];
        // Waiting for the line to be free is not waiting for a reply.
        result.outcome = result.attempts > 0 ? Outcome::no_reply : Outcome::not_sent;
        result.cut_off = true;
        result.note = result.attempts > 0 ? "等待应答时串口断开" : "发送前串口断开";
        emit step_finished(result);
        ++index_;
    }
    stop(Exit::port_lost, serial::port_lost(config_.port, error.device));
}

void Runner::stop(Exit code, const QString& message) {
    if (stopped_) {
        return;
    }
    stopped_ = true;
    bus_->abandon();
    port_->close();
    emit finished(code, message);
}

}  // namespace tarvok::cli
