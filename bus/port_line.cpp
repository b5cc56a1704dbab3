#include "bus/port_line.h"

#include <QTimer>

#include <algorithm>
#include <utility>

#include "serial/port.h"

namespace tarvok::bus {

PortLine::PortLine(serial::Port& port, QObject* parent)
    : QObject(parent), port_(port), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    clock_.start();
    connect(timer_, &QTimer::timeout, this, [this] {
        if (listener_ != nullptr) {
            listener_->alarm();
        }
    });
    connect(&port_, &serial::Port::received, this, [this] {
        if (listener_ != nullptr) {
            listener_->input_arrived();
        }
    });
    connect(&port_, &serial::Port::fault, this, [this](serial::LineFault which) {
        if (listener_ != nullptr) {
            listener_->faulted(which == serial::LineFault::write ? LineFault::write
                                                                  : LineFault::read);
        }
    });
    connect(&port_, &serial::Port::lost, this, [this] {
        if (listener_ != nullptr) {
            listener_->lost();
        }
    });
}

Micros PortLine::now() const {
    return std::chrono::duration_cast<Micros>(std::chrono::nanoseconds(clock_.nsecsElapsed()));
}

void PortLine::wake_at(Micros at) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(at - now()).count();
    timer_->start(static_cast<int>(std::clamp<std::int64_t>(ms, 0, 1'000'000'000)));
}

void PortLine::cancel_wake() { timer_->stop(); }

bool PortLine::write(std::span<const std::uint8_t> bytes) { return port_.write(bytes); }

std::vector<std::uint8_t> PortLine::received() {
    const QByteArray bytes = port_.read_all();
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> PortLine::take_input() { return received(); }

bool PortLine::set_setting(const protocol::LineSetting& setting) { return port_.set_line(setting); }

protocol::LineSetting PortLine::setting() const { return port_.line(); }

bool PortLine::is_open() const { return port_.is_open(); }

TapLine::TapLine(serial::Port& port, QObject* parent) : PortLine(port, parent) {
    // Connected before the line's own notice, which comes with Port::received.
    connect(&port, &serial::Port::arrived, this,
            [this](const QByteArray& bytes) { copy_.insert(copy_.end(), bytes.begin(), bytes.end()); });
}

bool TapLine::write(std::span<const std::uint8_t> /*bytes*/) { return true; }

bool TapLine::set_setting(const protocol::LineSetting& /*setting*/) { return false; }

std::vector<std::uint8_t> TapLine::received() { return std::exchange(copy_, {}); }

}  // namespace tarvok::bus
