// One serial line: a port number, a settings text, an open flag, a receive
// threshold, an input buffer read a byte at a time and a receive event raised on
// the GUI thread. Knows ports, nothing of what travels on them.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

#include "serial/line_settings.h"
#include "serial/port_directory.h"

class QTimer;

namespace tarvok::serial {

// Event codes reported through comm_event().
enum class CommEvent : int {
    none = 0,
    receive = 2,        // at least the threshold of received bytes waits unread
    line_error = 1009,  // the driver reported a read or write fault on an open line
};

enum class SerialFault {
    bad_settings,       // the settings text is not "<baud>,<n|o|e>,8,1"
    no_such_port,       // no device carries that port number
    not_serial_device,  // the port names a file, folder or device that is no serial line
    busy,               // another program holds the port
    stale_lock,         // a lock file left by a program that has exited, which we may not remove
    permission,         // the user may not open the device
    open_failed,        // any other refusal of the system
    lost,               // the device went away while open
    simulator_exited,   // the port's link was left by a tarvok-sim that has exited
    ports_folder_unreadable,  // the ports folder cannot be read, so no number is certain
};

struct SerialError {
    SerialFault fault;
    QString device;  // the device concerned, empty where none was found
    QString detail;  // the lock file for stale_lock; else the system's own words, for the
                     // rare fault with no name of ours
};

class SerialLine : public QObject {
    Q_OBJECT

public:
    explicit SerialLine(QObject* parent = nullptr);
    ~SerialLine() override;
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    void set_comm_port(int number) { comm_port_ = number; }
    int comm_port() const { return comm_port_; }

    // Rejects a malformed text before any port is touched; the settings then in
    // force stay as they were.
    std::optional<SerialError> set_settings(const QString& text);
    LineSettings settings() const { return settings_; }

    bool port_open() const;
    // Opens the port named by comm_port() with settings(), or closes it.
    std::optional<SerialError> set_port_open(bool open);
    // The device the open port runs on (empty while closed).
    QString device() const { return device_; }

    // The receive event is raised once for every `count` bytes waiting; 0 disables it.
    void set_rthreshold(int count) { rthreshold_ = count; }
    int rthreshold() const { return rthreshold_; }

    qint64 in_buffer_count() const;
    // Discards every received byte not yet read, and returns them.
    QByteArray discard_input();
    // Hands the bytes to the line in order, unaltered; false when the line refuses them.
    bool output(std::span<const std::uint8_t> bytes);
    // Removes and returns the oldest unread byte; nothing when none waits.
    std::optional<std::uint8_t> input();

    CommEvent comm_event() const { return comm_event_; }

    // What the open port is set to, as the driver reports it.
    const QSerialPort& port() const { return *port_; }

signals:
    // Raised for received data (comm_event() == receive) and line faults.
    void on_comm();
    // The device vanished while open; the line has already been closed.
    void port_lost(const tarvok::serial::SerialError& error);

private:
    void raise_receive_events();
    void handle_error(QSerialPort::SerialPortError error);
    void check_hangup();
    void close_lost();
    bool lock_exclusively();
    SerialError open_error(QSerialPort::SerialPortError error, const PortEntry& entry) const;

    QSerialPort* port_;
    QTimer* watchdog_;
    int comm_port_ = 1;
    int rthreshold_ = 0;
    LineSettings settings_;
    QString device_;
    CommEvent comm_event_ = CommEvent::none;
};

}  // namespace tarvok::serial
