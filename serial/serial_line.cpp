#include "serial/serial_line.h"

#include <QFileInfo>
#include <QTimer>

#include <variant>

#include "serial/port_directory.h"

#ifndef Q_OS_WIN
#include <poll.h>
#include <sys/file.h>

#include <cerrno>
#endif

namespace tarvok::serial {

namespace {

// Some drivers report a vanished device with an error, others only by a hang-up
// on the descriptor with nothing to read; this interval bounds how long the second
// kind goes unnoticed.
constexpr int kWatchdogMs = 250;

QSerialPort::Parity to_qt(Parity parity) {
    switch (parity) {
    case Parity::odd:
        return QSerialPort::OddParity;
    case Parity::even:
        return QSerialPort::EvenParity;
    case Parity::none:
        break;
    }
    return QSerialPort::NoParity;
}

// Qt reports a port locked by another program as a permission error; only the
// text tells it from a real lack of permission.
bool is_lock_failure(const QString& text) {
    return text.contains(QStringLiteral("lock"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("busy"), Qt::CaseInsensitive);
}

}  // namespace

SerialLine::SerialLine(QObject* parent)
    : QObject(parent), port_(new QSerialPort(this)), watchdog_(new QTimer(this)) {
    watchdog_->setInterval(kWatchdogMs);
    connect(port_, &QSerialPort::readyRead, this, &SerialLine::raise_receive_events);
    connect(port_, &QSerialPort::errorOccurred, this, &SerialLine::handle_error);
    connect(watchdog_, &QTimer::timeout, this, &SerialLine::check_hangup);
}

SerialLine::~SerialLine() {
    // Nothing must be raised into a half-destroyed owner while Qt closes the port.
    port_->disconnect(this);
}

std::optional<SerialError> SerialLine::set_settings(const QString& text) {
    const auto parsed = parse_line_settings(text.toStdString());
    if (!parsed) {
        return SerialError{SerialFault::bad_settings, QString(), text};
    }
    settings_ = *parsed;
    return std::nullopt;
}

bool SerialLine::port_open() const { return port_->isOpen(); }

std::optional<SerialError> SerialLine::set_port_open(bool open) {
    if (!open) {
        watchdog_->stop();
        port_->close();
        device_.clear();
        return std::nullopt;
    }
    if (port_->isOpen()) {
        return std::nullopt;
    }
    const Resolution resolution = resolve_port(comm_port_);
    if (const auto* failure = std::get_if<ResolveFailure>(&resolution)) {
        const SerialFault fault = failure->error == ResolveError::not_char_device
                                      ? SerialFault::not_serial_device
                                      : SerialFault::no_such_port;
        return SerialError{fault, failure->device, QString()};
    }
    const auto& entry = std::get<PortEntry>(resolution);
    port_->setPortName(entry.device);
    port_->setBaudRate(static_cast<qint32>(settings_.baud));
    port_->setParity(to_qt(settings_.parity));
    port_->setDataBits(QSerialPort::Data8);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        SerialError error = open_error(port_->error());
        error.device = entry.device;
        port_->clearError();
        return error;
    }
    if (!lock_exclusively()) {
        port_->close();
        return SerialError{SerialFault::busy, entry.device, QString()};
    }
    device_ = entry.device;
    comm_event_ = CommEvent::none;
    watchdog_->start();
    return std::nullopt;
}

bool SerialLine::lock_exclusively() {
#ifdef Q_OS_WIN
    return true;
#else
    // Qt guards a port with a lock file and the tty's exclusive flag; terminal
    // programs such as picocom use an advisory lock instead, which Qt does not see.
    // The lock goes with the descriptor when the port closes.
    return ::flock(static_cast<int>(port_->handle()), LOCK_EX | LOCK_NB) == 0 ||
           errno != EWOULDBLOCK;
#endif
}

SerialError SerialLine::open_error(QSerialPort::SerialPortError error) const {
    const QString text = port_->errorString();
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return {SerialFault::no_such_port, QString(), text};
    case QSerialPort::PermissionError:
        return {is_lock_failure(text) ? SerialFault::busy : SerialFault::permission, QString(),
                text};
    case QSerialPort::UnsupportedOperationError:
        // A character device that takes no terminal settings, such as /dev/null.
        return {SerialFault::not_serial_device, QString(), text};
    default:
        return {is_lock_failure(text) ? SerialFault::busy : SerialFault::open_failed, QString(),
                text};
    }
}

qint64 SerialLine::in_buffer_count() const { return port_->isOpen() ? port_->bytesAvailable() : 0; }

void SerialLine::discard_input() {
    if (!port_->isOpen()) {
        return;
    }
    // Bytes the kernel already holds but Qt has not yet fetched are flushed too.
    port_->clear(QSerialPort::Input);
    port_->readAll();
}

bool SerialLine::output(std::span<const std::uint8_t> bytes) {
    if (!port_->isOpen()) {
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    return port_->write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

std::optional<std::uint8_t> SerialLine::input() {
    char byte = 0;
    if (!port_->isOpen() || port_->read(&byte, 1) != 1) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(byte);
}

void SerialLine::raise_receive_events() {
    // One event for every threshold's worth of bytes waiting. A handler that
    // leaves the bytes where they are ends the round, or this would never return.
    while (rthreshold_ > 0 && port_->isOpen() && port_->bytesAvailable() >= rthreshold_) {
        const qint64 before = port_->bytesAvailable();
        comm_event_ = CommEvent::receive;
        emit on_comm();
        if (port_->isOpen() && port_->bytesAvailable() >= before) {
            break;
        }
    }
}

void SerialLine::handle_error(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || !port_->isOpen()) {
        return;
    }
    if (error == QSerialPort::ResourceError) {
        close_lost();
        return;
    }
    // A read fault on a hung-up line repeats at every wake-up; check at once
    // whether the device is still there rather than wait for the watchdog.
    check_hangup();
    if (port_->isOpen()) {
        port_->clearError();
        comm_event_ = CommEvent::line_error;
        emit on_comm();
    }
}

void SerialLine::check_hangup() {
    if (!port_->isOpen()) {
        watchdog_->stop();
        return;
    }
    bool gone = !QFileInfo::exists(device_);
#ifndef Q_OS_WIN
    if (!gone) {
        pollfd pfd{static_cast<int>(port_->handle()), 0, 0};
        gone = ::poll(&pfd, 1, 0) == 1 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }
#endif
    if (gone) {
        close_lost();
    }
}

void SerialLine::close_lost() {
    const SerialError error{SerialFault::lost, device_, port_->errorString()};
    watchdog_->stop();
    port_->close();
    port_->clearError();
    device_.clear();
    emit port_lost(error);
}

}  // namespace tarvok::serial
