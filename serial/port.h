// One serial port by its number: resolved through the port directory, opened at a
// line's rate and parity, locked against other programs, read in chunks, and watched
// for faults and for the device going away. Knows ports, nothing of what travels on
// them.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

#include "protocol/request.h"
#include "serial/serial_error.h"

class QTimer;

namespace tarvok::serial {

struct PortEntry;

// Which way a fault on an open line went.
enum class LineFault { read, write };

class Port : public QObject {
    Q_OBJECT

public:
    explicit Port(QObject* parent = nullptr);
    ~Port() override;
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // Opens port `number` at `line`; an open port is closed first.
    std::optional<SerialError> open(int number, const protocol::LineSetting& line);
    void close();
    bool is_open() const { return port_->isOpen(); }
    int number() const { return number_; }
    // The device the open port runs on (empty while closed).
    QString device() const { return device_; }
    protocol::LineSetting line() const { return line_; }

    // Runs the open port at another rate and parity without closing it, so it stays on
    // the device it opened; false when the driver refused.
    bool set_line(const protocol::LineSetting& line);

    qint64 bytes_available() const { return buffer_.size() - read_; }
    // Everything received and not yet read.
    QByteArray read_all();
    std::optional<std::uint8_t> read_byte();
    // Discards every received byte not yet read, those the kernel holds included, and
    // returns them.
    QByteArray discard_input();
    // Hands the bytes to the line in order, unaltered; false when the line refuses them.
    bool write(std::span<const std::uint8_t> bytes);

    // The driver's view of the open port.
    const QSerialPort& qt() const { return *port_; }

signals:
    // Bytes came in: first each piece as it came, for whoever watches the line without
    // reading it, then the notice for the reader.
    void arrived(const QByteArray& bytes);
    void received();
    // A read or write fault on a line that is still there.
    void fault(tarvok::serial::LineFault which);
    // The device vanished while open; the port has already been closed.
    void lost(const tarvok::serial::SerialError& error);

private:
    void fetch();
    void handle_error(QSerialPort::SerialPortError error);
    void check_hangup();
    void close_lost();
    bool lock_exclusively();
    SerialError open_error(QSerialPort::SerialPortError error, const PortEntry& entry) const;

    QSerialPort* port_;
    QTimer* watchdog_;
    int number_ = 0;
    protocol::LineSetting line_;
    QString device_;
    // Received and not yet read: taken from the driver at once, so a watcher sees each
    // byte when it comes, whatever the reader takes and when.
    QByteArray buffer_;
    qsizetype read_ = 0;  // bytes at the front of buffer_ already read
    bool changing_line_ = false;
};

}  // namespace tarvok::serial
