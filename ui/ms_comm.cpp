#include "ui/ms_comm.h"

namespace tarvok::ui {

MSComm::MSComm(QObject* parent) : QObject(parent), port_(new serial::Port(this)) {
    connect(port_, &serial::Port::received, this, &MSComm::raise_receive_events);
    connect(port_, &serial::Port::fault, this, &MSComm::raise_line_error);
    connect(port_, &serial::Port::lost, this, &MSComm::port_lost);
}

std::optional<serial::SerialError> MSComm::set_port_open(bool open) {
    if (!open) {
        port_->close();
        return std::nullopt;
    }
    if (port_->is_open()) {
        return std::nullopt;
    }
    comm_event_ = CommEvent::none;
    return port_->open(comm_port_, settings_);
}

void MSComm::raise_receive_events() {
    // One event for every threshold's worth of bytes waiting. A handler that
    // leaves the bytes where they are ends the round, or this would never return.
    while (!lent_ && rthreshold_ > 0 && port_->is_open() &&
           port_->bytes_available() >= rthreshold_) {
        const qint64 before = port_->bytes_available();
        comm_event_ = CommEvent::receive;
        emit on_comm();
        if (port_->is_open() && port_->bytes_available() >= before) {
            break;
        }
    }
}

void MSComm::raise_line_error(serial::LineFault which) {
    if (lent_) {
        return;
    }
    line_fault_ = which;
    comm_event_ = CommEvent::line_error;
    emit on_comm();
}

}  // namespace tarvok::ui
