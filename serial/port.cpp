#include "serial/port.h"

#include <QFileInfo>
#include <QTimer>

#include <array>
#include <variant>

#include "serial/port_directory.h"
#include "serial/port_holder.h"
#include "serial/termios_line.h"

#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tarvok::serial {

using protocol::Parity;

namespace {

// Some drivers report a vanished device with an error, others only by a hang-up
// on the descriptor with nothing to read; this interval bounds how long the second
// kind goes unnoticed.
constexpr int kWatchdogMs = 250;

// How many bytes a reader may leave behind at the front of the buffer before they go.
constexpr qsizetype kCompactAfter = 4096;

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


// A busy port with whoever keeps it, when the system tells.
SerialError busy(const QString& device, const QString& text) {
    return {SerialFault::busy, device, text, port_holder(device)};
}

SerialFault fault_of(ResolveError error) {
    switch (error) {
    case ResolveError::not_char_device:
        return SerialFault::not_serial_device;
    case ResolveError::simulator_exited:
        return SerialFault::simulator_exited;
    case ResolveError::ports_folder_unreadable:
        return SerialFault::ports_folder_unreadable;
    case ResolveError::no_such_port:
        break;
    }
    return SerialFault::no_such_port;
}

}  // namespace

Port::Port(QObject* parent)
    : QObject(parent), port_(new QSerialPort(this)), watchdog_(new QTimer(this)) {
    watchdog_->setInterval(kWatchdogMs);
    connect(port_, &QSerialPort::readyRead, this, &Port::fetch);
    connect(port_, &QSerialPort::errorOccurred, this, &Port::handle_error);
    connect(watchdog_, &QTimer::timeout, this, &Port::check_hangup);
}

Port::~Port() {
    // Nothing must be raised into a half-destroyed owner while Qt closes the port.
    port_->disconnect(this);
}

void Port::close() {
    watchdog_->stop();
    port_->close();
    device_.clear();
    buffer_.clear();
    read_ = 0;
}

void Port::fetch() {
    const QByteArray bytes = port_->readAll();
    if (bytes.isEmpty()) {
        return;
    }
    buffer_ += bytes;
    emit arrived(bytes);
    emit received();
}

bool Port::set_line(const protocol::LineSetting& line) {
    if (!port_->isOpen()) {
        return false;
    }
    if (line == line_) {
        return true;
    }
    // A refusal here is this call's answer, not a fault of the line.
    changing_line_ = true;
    bool set = port_->setBaudRate(static_cast<qint32>(line.baud)) &&
               port_->setParity(to_qt(line.parity));
    changing_line_ = false;
    port_->clearError();
    set = set_termios_line(static_cast<int>(port_->handle()), line);
    if (set) {
        line_ = line;
    }
    return set;
}

std::optional<SerialError> Port::open(int number, const protocol::LineSetting& line) {
    close();
    number_ = number;
    line_ = line;
    const Resolution resolution = resolve_port(number);
    if (const auto* failure = std::get_if<ResolveFailure>(&resolution)) {
        return SerialError{fault_of(failure->error), failure->device, QString()};
    }
    const auto& entry = std::get<PortEntry>(resolution);
    port_->setPortName(entry.device);
    port_->setBaudRate(static_cast<qint32>(line.baud));
    port_->setParity(to_qt(line.parity));
    port_->setDataBits(QSerialPort::Data8);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        const SerialError error = open_error(port_->error(), entry);
        port_->clearError();
        return error;
    }
    if (!lock_exclusively()) {
        port_->close();
        return busy(entry.device, QString());
    }
    device_ = entry.device;
    check_parity(static_cast<int>(port_->handle()), line.parity);
    // Only where a device node exists to watch; elsewhere a vanished port shows as
    // Qt's resource error.
    watchdog_->start();
    return std::nullopt;
}
bool Port::lock_exclusively() {
    // Qt guards a port with a lock file and the tty's exclusive flag; terminal
    // programs such as picocom use an advisory lock instead, which Qt does not see,
    // and some a POSIX lock, which an advisory lock does not see either. Ours goes
    // with the descriptor when the port closes.
    const int fd = static_cast<int>(port_->handle());
    return (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) && !locked_by_posix(fd);
}

SerialError Port::open_error(QSerialPort::SerialPortError error, const PortEntry& entry) const {
    const QString text = port_->errorString();
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        // A port the system itself listed that turns out to be missing is a number
        // with nothing behind it; a link's missing target is worth naming.
        return {SerialFault::no_such_port, entry.from_link ? entry.device : QString(), text};
    case QSerialPort::PermissionError:
        break;
    case QSerialPort::UnsupportedOperationError:
        // A character device that takes no terminal settings, such as /dev/null.
        return {SerialFault::not_serial_device, entry.device, text};
    default:
        return {SerialFault::open_failed, entry.device, text};
    }
    // Qt reports a lock held by another program and a lack of permission alike, in
    // words that depend on the language; the device node tells them apart.
    if (!may_read_and_write(entry.device)) {
        return {SerialFault::permission, entry.device, text};
    }
    // Qt tries the lock file first: one left behind that Qt could not remove (another
    // user's, in a sticky folder) is what stopped it.
    const QString lock = existing_lock_file(entry.device);
    if (!lock.isEmpty() && lock_left_behind(lock, entry.device)) {
        return {SerialFault::stale_lock, entry.device, lock, std::nullopt, file_owner(lock)};
    }
    return busy(entry.device, text);
}

QByteArray Port::read_all() {
    QByteArray bytes = buffer_.mid(read_);
    buffer_.clear();
    read_ = 0;
    return bytes;
}

std::optional<std::uint8_t> Port::read_byte() {
    if (read_ == buffer_.size()) {
        return std::nullopt;
    }
    const auto byte = static_cast<std::uint8_t>(buffer_.at(read_++));
    // Bytes read a few at a time from a long buffer are dropped in bulk, not one by one.
    if (read_ == buffer_.size() || read_ > kCompactAfter) {
        buffer_.remove(0, read_);
        read_ = 0;
    }
    return byte;
}

QByteArray Port::discard_input() {
    if (!port_->isOpen()) {
        return {};
    }
    QByteArray dropped = read_all() + port_->readAll();
    // Bytes the kernel already holds but Qt has not yet fetched go too; they are
    // taken first so that whoever logs the discard can say what they were.
    std::array<char, 256> chunk{};
    for (ssize_t n = 0;
         (n = ::read(static_cast<int>(port_->handle()), chunk.data(), chunk.size())) > 0;) {
        dropped.append(chunk.data(), n);
    }
    port_->clear(QSerialPort::Input);
    return dropped;
}

bool Port::write(std::span<const std::uint8_t> bytes) {
    if (!port_->isOpen()) {
        return false;
    }
    // With nothing of Qt's still waiting to go out, the bytes go to the line at once:
    // Qt would hold them for the next turn of the event loop and switch its write
    // watch on and off around them, two more wake-ups for every frame. Whatever the
    // line does not take now, or refuses, goes through Qt, which waits for room and
    // reports faults as always.
    if (port_->bytesToWrite() == 0) {
        const ssize_t n = ::write(static_cast<int>(port_->handle()), bytes.data(), bytes.size());
        bytes = bytes.subspan(n > 0 ? static_cast<std::size_t>(n) : 0);
        if (bytes.empty()) {
            return true;
        }
    }
    const auto size = static_cast<qint64>(bytes.size());
    return port_->write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

void Port::handle_error(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || !port_->isOpen() || changing_line_) {
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
        emit fault(error == QSerialPort::WriteError ? LineFault::write : LineFault::read);
    }
}

void Port::check_hangup() {
    if (!port_->isOpen()) {
        watchdog_->stop();
        return;
    }
    bool gone = !QFileInfo::exists(device_);
    if (!gone) {
        pollfd pfd{static_cast<int>(port_->handle()), 0, 0};
        gone = ::poll(&pfd, 1, 0) == 1 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }
    if (gone) {
        close_lost();
    }
}

void Port::close_lost() {
    const SerialError error{SerialFault::lost, device_, port_->errorString()};
    watchdog_->stop();
    port_->close();
    port_->clearError();
    device_.clear();
    buffer_.clear();
    read_ = 0;
    emit lost(error);
}

}  // namespace tarvok::serial
