#include "bus/scanner.h"

#include <algorithm>

#include "bus/bus.h"
#include "protocol/reply.h"
#include "protocol/scan.h"
#include "protocol/wire.h"
#include "serial/port.h"

namespace tarvok::bus {

std::chrono::milliseconds scan_bound(const ScanPlan& plan) {
    std::chrono::milliseconds total{0};
    for (const auto& line : plan.lines) {
        const int each =
            plan.deadline_ms.value_or(protocol::reply_timeout_ms(line.baud, line.parity));
        total += std::chrono::milliseconds(std::int64_t{each} *
                                           static_cast<std::int64_t>(plan.addresses.size()));
    }
    return total;
}

Scanner::Scanner(serial::Port& port, QObject* parent)
    : QObject(parent), port_(port), bus_(new Bus(port, this)) {
    connect(bus_, &Bus::finished, this, &Scanner::exchanged);
    connect(bus_, &Bus::noted, this, &Scanner::noted);
    connect(&port_, &serial::Port::lost, this,
            [this](const serial::SerialError& error) { finish(ScanEnd::port_lost, error); });
}

void Scanner::start(const ScanPlan& plan) {
    plan_ = plan;
    found_.clear();
    line_ = 0;
    address_ = 0;
    running_ = true;
    stopping_ = false;
    line_open_ = false;
    // From the event loop: the port may be reopened, never inside its own events.
    QMetaObject::invokeMethod(this, &Scanner::next, Qt::QueuedConnection);
}

void Scanner::stop() {
    stopping_ = true;
    if (running_ && !bus_->busy()) {
        finish(ScanEnd::stopped);
    }
}

void Scanner::open_line() {
    const protocol::LineSetting& line = plan_.lines[line_];
    if (const auto error = port_.open(plan_.port, {line.baud, line.parity})) {
        finish(ScanEnd::port_unavailable, *error);
        return;
    }
    line_open_ = true;
    asked_.clear();
    emit line_started(line, static_cast<int>(line_), static_cast<int>(plan_.lines.size()));
}

void Scanner::next() {
    if (!running_) {
        return;
    }
    if (stopping_) {
        finish(ScanEnd::stopped);
        return;
    }
    if (address_ == plan_.addresses.size()) {
        address_ = 0;
        ++line_;
        line_open_ = false;
    }
    if (line_ == plan_.lines.size()) {
        finish(ScanEnd::completed);
        return;
    }
    if (!line_open_) {
        open_line();
        if (!running_) {
            return;
        }
    }
    const protocol::LineSetting& line = plan_.lines[line_];
    const std::uint8_t address = plan_.addresses[address_];
    Request request;
    request.frame = protocol::no_op_frame(address, line);
    request.retries = plan_.retries;
    request.timing = timing_for(line.baud, line.parity, plan_.deadline_ms);
    request.timing.settle = Micros{0};
    asked_.insert(address);
    bus_->exchange(request);
}

void Scanner::exchanged(const Result& result) {
    if (!running_) {
        return;
    }
    if (result.reply) {
        emit replied(*result.reply);
        record(result.sent[protocol::kAddressByte], result.late);
    }
    ++address_;
    const int per_line = static_cast<int>(plan_.addresses.size());
    emit progress(static_cast<int>(line_) * per_line + static_cast<int>(address_),
                  per_line * static_cast<int>(plan_.lines.size()),
                  result.sent[protocol::kAddressByte]);
    if (address_ < plan_.addresses.size() && !stopping_) {
        next();
    } else {
        QMetaObject::invokeMethod(this, &Scanner::next, Qt::QueuedConnection);
    }
}

// A valid reply to a no-op frame sent earlier at this line names its module.
void Scanner::noted(const Note& note) {
    if (note.kind != Note::Kind::unmatched && note.kind != Note::Kind::late) {
        return;
    }
    const auto reply = protocol::frame_from(note.bytes);
    const auto address = reply[protocol::kAddressByte];
    const bool ours =
        reply[protocol::kCodeByte] == static_cast<std::uint8_t>(protocol::Command::device_serial);
    if (ours && asked_.contains(address)) {
        record(address, true);
    }
}

void Scanner::record(std::uint8_t address, bool late) {
    const protocol::LineSetting& line = plan_.lines[line_];
    const auto known = std::find_if(found_.begin(), found_.end(), [address](const FoundModule& m) {
        return m.address == address;
    });
    if (known == found_.end()) {
        found_.push_back({address, line, late});
        emit module_found(found_.back());
    } else if (!(known->line == line)) {
        emit found_again(*known, line);
    }
}

void Scanner::finish(ScanEnd end, const serial::SerialError& error) {
    if (!running_) {
        return;
    }
    running_ = false;
    bus_->abandon();
    emit finished(end, error);
}

}  // namespace tarvok::bus
