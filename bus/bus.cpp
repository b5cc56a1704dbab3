#include "bus/bus.h"

#include <QTimer>

#include <chrono>
#include <utility>

#include "serial/port.h"

namespace tarvok::bus {

namespace {

// What a reply repeats of the frame it answers.
std::uint16_t key_of(const protocol::Frame& frame) {
    return static_cast<std::uint16_t>(frame[protocol::kAddressByte] << 8U |
                                      frame[protocol::kCodeByte]);
}

std::span<const std::uint8_t> span_of(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

}  // namespace

Bus::Bus(serial::Port& port, QObject* parent)
    : QObject(parent), port_(port), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    clock_.start();
    connect(&port_, &serial::Port::received, this, &Bus::take_bytes);
    connect(timer_, &QTimer::timeout, this, &Bus::tick);
}

Micros Bus::now() const {
    return std::chrono::duration_cast<Micros>(std::chrono::nanoseconds(clock_.nsecsElapsed()));
}

void Bus::exchange(const Request& request) {
    queued_ = request;
    try_start();
}

void Bus::abandon() {
    timer_->stop();
    queued_.reset();
    current_.reset();
}

// Nothing goes out while bytes are still arriving: the line must have been quiet for
// the gap first. A reply repeats only the address and command, so a frame with the
// same two as one sent less than a deadline ago also waits out that deadline: a
// second or late reply to the first could not be told from its own. What waits on
// the line then is dropped, and said.
void Bus::try_start() {
    if (!queued_) {
        return;
    }
    // Anything Qt has already taken in is judged against the exchange before.
    take_bytes();
    Micros start_at =
        last_byte_ == Micros::min() ? Micros{} : last_byte_ + queued_->timing.gap;
    if (queued_->matching == Matching::lenient) {
        start_at = std::max(start_at, any_open_until_);  // any reply would count
    } else if (const auto open = open_until_.find(key_of(queued_->frame));
               open != open_until_.end()) {
        start_at = std::max(start_at, open->second);
    }
    if (now() < start_at) {
        start_timer(start_at);
        return;
    }
    if (const QByteArray dropped = std::exchange(stray_, {}) + port_.discard_input();
        !dropped.isEmpty()) {
        emit discarded(dropped);
    }
    current_.emplace(*queued_);
    queued_.reset();
    result_sent_ = false;
    apply(current_->start(now()));
}

void Bus::take_bytes() {
    if (!port_.is_open() || port_.bytes_available() == 0) {
        return;
    }
    const QByteArray bytes = port_.read_all();
    last_byte_ = now();
    if (!current_) {
        stray_ += bytes;  // heard before any exchange: dropped, and said, at the first
        return;
    }
    apply(current_->take(span_of(bytes), last_byte_));
}

void Bus::tick() {
    if (current_ && !current_->finished()) {
        apply(current_->tick(now()));
    } else {
        try_start();
    }
}

void Bus::start_timer(Micros at) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(at - now()).count();
    timer_->start(static_cast<int>(std::max<std::int64_t>(0, ms)));
}

void Bus::apply(const Step& step) {
    if (step.send) {
        // A refused write is a silent module to the exchange; a vanished device is
        // reported by the port itself.
        (void)port_.write(current_->result().sent);
        const Micros open = now() + current_->timing().deadline;
        open_until_[key_of(current_->result().sent)] = open;
        any_open_until_ = std::max(any_open_until_, open);
    }
    publish_notes();
    if (step.wake) {
        start_timer(*step.wake);
    }
    if (step.finished && !result_sent_) {
        result_sent_ = true;
        // A copy: the handler may start the next exchange, which replaces this one.
        const Result result = current_->result();
        emit finished(result);
    }
}

void Bus::publish_notes() {
    if (!current_) {
        return;
    }
    for (const Note& note : current_->take_notes()) {
        emit noted(note);
    }
}

}  // namespace tarvok::bus
