// The window's serial control, shaped as the window was designed around it: a port
// number, a settings text, an open flag, a receive threshold, an input buffer read a
// byte at a time and a receive event raised on the GUI thread. A thin layer over
// serial::Port.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

#include "serial/port.h"

namespace tarvok::ui {

// Event codes reported through comm_event().
enum class CommEvent : int {
    none = 0,
    receive = 2,        // at least the threshold of received bytes waits unread
    line_error = 1009,  // the driver reported a read or write fault on an open line
};

class MSComm : public QObject {
    Q_OBJECT

public:
    explicit MSComm(QObject* parent = nullptr);

    void set_comm_port(int number) { comm_port_ = number; }
    int comm_port() const { return comm_port_; }

    void set_settings(const protocol::LineSetting& line) { settings_ = line; }
    protocol::LineSetting settings() const { return settings_; }

    bool port_open() const { return port_->is_open(); }
    // Opens the port named by comm_port() with settings(), or closes it.
    std::optional<serial::SerialError> set_port_open(bool open);
    QString device() const { return port_->device(); }

    // The receive event is raised once for every `count` bytes waiting; 0 disables it.
    void set_rthreshold(int count) { rthreshold_ = count; }

    qint64 in_buffer_count() const { return port_->bytes_available(); }
    QByteArray discard_input() { return port_->discard_input(); }
    bool output(std::span<const std::uint8_t> bytes) { return port_->write(bytes); }
    // Removes and returns the oldest unread byte; nothing when none waits.
    std::optional<std::uint8_t> input() { return port_->read_byte(); }

    CommEvent comm_event() const { return comm_event_; }
    // Which way the last line_error went.
    serial::LineFault line_fault() const { return line_fault_; }
    const QSerialPort& port() const { return port_->qt(); }
    serial::Port& serial_port() { return *port_; }

    // While lent to someone who reads the port himself (a scan, a plan), no receive
    // event is raised and the bytes are left to the borrower.
    void set_lent(bool lent) { lent_ = lent; }
    bool lent() const { return lent_; }

signals:
    // Raised for received data (comm_event() == receive) and line faults.
    void on_comm();
    // The device vanished while open; the line has already been closed.
    void port_lost(const tarvok::serial::SerialError& error);

private:
    void raise_receive_events();
    void raise_line_error(serial::LineFault which);

    serial::Port* port_;
    int comm_port_ = 1;
    int rthreshold_ = 0;
    protocol::LineSetting settings_;
    CommEvent comm_event_ = CommEvent::none;
    bool lent_ = false;
    serial::LineFault line_fault_ = serial::LineFault::read;
};

}  // namespace tarvok::ui
