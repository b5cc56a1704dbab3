#include "cli/runner.h"

#include <QTimer>

#include "protocol/reply.h"
#include "protocol/wire.h"
#include "serial/port_messages.h"
#include "serial/serial_line.h"

namespace tarvok::cli {

namespace {

std::string text_of(std::string_view text) { return std::string(text); }

std::string line_text(const serial::LineSettings& line) {
    return std::to_string(line.baud) + " 波特、" +
           text_of(protocol::name_in(protocol::kParities, line.parity));
}

// What to do when a module now runs at a rate the rest of the run does not use;
// `in_plan` when later lines of the plan may still be for it.
std::string follow_advice(std::uint8_t address, const serial::LineSettings& now, bool in_plan) {
    const auto parity = protocol::find_value(protocol::kParities, now.parity)->alias;
    const std::string options =
        "--baud " + std::to_string(now.baud) + " --parity " + text_of(parity);
    return "模块此后按 " + line_text(now) + "收发；" +
           (in_plan ? "之后发给地址 " + std::to_string(address) +
                          " 的设置需要新的波特率：加 --follow，或另用 " + options
                    : "以后发给它的设置请用 " + options);
}

QString settings_text(const serial::LineSettings& line) {
    return QStringLiteral("%1,%2,8,1")
        .arg(line.baud)
        .arg(QLatin1Char(serial::parity_letter(line.parity)));
}

}  // namespace

Runner::Runner(RunConfig config, const std::vector<PlanStep>& steps, QObject* parent)
    : QObject(parent),
      config_(config),
      serial_(new serial::SerialLine(this)),
      timer_(new QTimer(this)),
      current_(config.line) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    results_.reserve(steps.size());
    for (const auto& step : steps) {
        StepResult result;
        result.step = step;
        result.frame = protocol::encode(step.address, step.request);
        results_.push_back(std::move(result));
    }
    serial_->set_comm_port(config_.port);
    connect(serial_, &serial::SerialLine::on_comm, this, &Runner::take_bytes);
    connect(serial_, &serial::SerialLine::port_lost, this, &Runner::port_lost);
    connect(timer_, &QTimer::timeout, this, &Runner::attempt_timed_out);
}

void Runner::start() { run_next(); }

serial::LineSettings Runner::line_for(std::uint8_t address) const {
    const auto moved = moved_.find(address);
    return config_.follow && moved != moved_.end() ? moved->second : config_.line;
}

// Opens the port at `line`, or reopens it when it runs at another rate; the
// open failure in the window's words otherwise.
std::optional<QString> Runner::use_line(const serial::LineSettings& line) {
    if (serial_->port_open() && line == current_) {
        return std::nullopt;
    }
    serial_->set_port_open(false);
    auto error = serial_->set_settings(settings_text(line));
    if (!error) {
        error = serial_->set_port_open(true);
    }
    if (error) {
        return serial::open_failed(config_.port, *error);
    }
    serial_->set_rthreshold(1);
    current_ = line;
    return std::nullopt;
}

void Runner::run_next() {
    if (stopped_) {
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
    clock_.start();
    send_attempt();
}

void Runner::send_attempt() {
    StepResult& result = results_[index_];
    // Only what arrives after this frame went out can be its reply.
    serial_->discard_input();
    pending_.clear();
    result.received.clear();
    ++result.attempts;
    result.wait_ms =
        config_.timeout_ms.value_or(protocol::reply_timeout_ms(current_.baud, current_.parity));
    waiting_ = true;
    // A refused write ends like a silent module; a vanished device is reported apart.
    serial_->output(result.frame);
    timer_->start(result.wait_ms);
}

void Runner::take_bytes() {
    if (serial_->comm_event() != serial::CommEvent::receive) {
        return;
    }
    std::vector<std::uint8_t> bytes;
    while (const auto byte = serial_->input()) {
        bytes.push_back(*byte);
    }
    if (!waiting_) {
        return;  // nothing is owed a reply: a late answer, or noise on the bus
    }
    StepResult& result = results_[index_];
    result.received.insert(result.received.end(), bytes.begin(), bytes.end());
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    if (const auto found = take_reply(pending_, result.frame, config_.strict)) {
        result.reply = found->reply;
        result.echoed = found->echoed;
        const bool success = protocol::judge(found->reply) == protocol::Verdict::success;
        complete(success ? Outcome::done : Outcome::refused);
    }
}

void Runner::attempt_timed_out() {
    if (results_[index_].attempts <= config_.retries) {
        send_attempt();
        return;
    }
    complete(Outcome::no_reply);
}

void Runner::complete(Outcome outcome) {
    timer_->stop();
    waiting_ = false;
    StepResult& result = results_[index_];
    result.outcome = outcome;
    result.milliseconds = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
    note_line_change(result);
    emit step_finished(result);
    ++index_;
    // The port may be closed only from the event loop, never inside its own receive
    // event: at the end of the run, and to reopen it at another rate.
    const bool same_line =
        index_ < results_.size() && line_for(results_[index_].step.address) == current_;
    if (same_line) {
        run_next();
    } else {
        QMetaObject::invokeMethod(this, &Runner::run_next, Qt::QueuedConnection);
    }
}

void Runner::note_line_change(StepResult& result) {
    const std::uint8_t address = result.step.address;
    const auto moved = moved_.find(address);
    if (result.outcome == Outcome::no_reply && moved != moved_.end() && !config_.follow) {
        result.note = "地址 " + std::to_string(address) + " 已改为 " + line_text(moved->second) +
                      "，本项仍按 " + line_text(current_) + "发送";
        return;
    }
    const auto* line = std::get_if<protocol::LineSetting>(&result.step.request);
    if (result.outcome != Outcome::done || line == nullptr) {
        return;
    }
    const serial::LineSettings now{line->baud, line->parity};
    moved_[address] = now;
    result.note = config_.follow
                      ? "此后按 " + line_text(now) + "与地址 " + std::to_string(address) + " 通讯"
                      : follow_advice(address, now, result.step.line != 0);
}

void Runner::port_lost(const serial::SerialError& error) {
    if (waiting_) {
        timer_->stop();
        waiting_ = false;
        StepResult& result = results_[index_];
        result.outcome = Outcome::no_reply;
        result.milliseconds = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
        result.cut_off = true;
        result.note = "等待应答时串口断开";
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
    timer_->stop();
    serial_->set_port_open(false);
    emit finished(code, message);
}

}  // namespace tarvok::cli
