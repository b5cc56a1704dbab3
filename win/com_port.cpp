#include "win/com_port.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

namespace tarvok::win {

namespace {

// A read waits for the first byte, however long, and returns once the line has
// paused for this long after it: a reply comes in a piece or a few. (The documented
// "return at once with what is there" settings either spin on an idle line or, on
// Wine, wait for a full buffer.)
constexpr DWORD kReadPauseMs = 1;
// An unplugged adapter fails the reads in flight on Windows, but a pending read may
// also just stay pending (a pseudo-terminal's hang-up under Wine): so the device is
// looked at this often too.
constexpr bus::Micros kCheckEvery{500'000};
// A write that the driver has not finished by then failed.
constexpr DWORD kWriteWaitMs = 2'000;

// A device that still answers a status query is there; one that does not was
// unplugged.
bool still_there(HANDLE port) {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(port, &errors, &status) != 0;
}

}  // namespace

ComPort::ComPort()
    : read_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      write_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

ComPort::~ComPort() { close(); }

std::optional<serial::SerialFault> ComPort::open(int number, const protocol::LineSetting& setting) {
    close();
    const std::wstring name = L"\\\\.\\COM" + std::to_wstring(number);
    Handle port(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OVERLAPPED, nullptr));
    if (!port) {
        system_error_ = GetLastError();
        return open_fault(system_error_);
    }
    DCB probe{};
    probe.DCBlength = sizeof probe;
    if (GetFileType(port.get()) != FILE_TYPE_CHAR || !GetCommState(port.get(), &probe)) {
        return serial::SerialFault::not_serial_device;
    }
    COMMTIMEOUTS timeouts{kReadPauseMs, 0, 0, 0, kWriteWaitMs};
    if (!apply_setting(port.get(), setting) || !SetCommTimeouts(port.get(), &timeouts)) {
        system_error_ = GetLastError();
        return serial::SerialFault::open_failed;
    }
    SetupComm(port.get(), 4096, 4096);
    PurgeComm(port.get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
    port_ = std::move(port);
    checked_ = now();
    number_ = number;
    setting_ = setting;
    if (!start_read()) {
        return serial::SerialFault::lost;
    }
    return std::nullopt;
}

void ComPort::close() {
    if (!port_) {
        return;
    }
    CancelIoEx(port_.get(), nullptr);
    DWORD done = 0;
    // The buffers must outlive the driver's use of them.
    if (reading_) {
        GetOverlappedResult(port_.get(), &read_ov_, &done, TRUE);
    }
    if (writing_) {
        GetOverlappedResult(port_.get(), &write_ov_, &done, TRUE);
    }
    reading_ = writing_ = false;
    port_.reset();
    input_.clear();
    queued_.clear();
    writing_bytes_.clear();
    alarm_.reset();
}

std::span<const HANDLE> ComPort::wait_handles() const {
    if (!port_) {
        return {};
    }
    waits_ = {read_event_.get(), write_event_.get()};
    return {waits_.data(), writing_ ? 2U : 1U};
}

bus::Micros ComPort::now() const {
    return std::chrono::duration_cast<bus::Micros>(
        std::chrono::steady_clock::now().time_since_epoch());
}

// `got` bytes read into the buffer: kept for the reader, and shown to the tap.
void ComPort::took(DWORD got) {
    input_.insert(input_.end(), read_buffer_.begin(), read_buffer_.begin() + got);
    if (tap_ && got > 0) {
        tap_(std::span(read_buffer_.data(), got));
    }
    arrived_ = arrived_ || got > 0;
}

bool ComPort::start_read() {
    // A read that finishes at once is taken at once; the loop ends at the first that
    // waits, so the event is armed whenever we return.
    for (int round = 0; round < 64; ++round) {
        read_ov_ = OVERLAPPED{};
        read_ov_.hEvent = read_event_.get();
        DWORD got = 0;
        if (ReadFile(port_.get(), read_buffer_.data(), static_cast<DWORD>(read_buffer_.size()),
                     &got, &read_ov_)) {
            GetOverlappedResult(port_.get(), &read_ov_, &got, FALSE);
            took(got);
            continue;
        }
        if (GetLastError() == ERROR_IO_PENDING) {
            reading_ = true;
            return true;
        }
        if (!still_there(port_.get())) {
            lose();
            return false;
        }
        if (listener_ != nullptr) {
            listener_->faulted(bus::LineFault::read);
        }
        break;
    }
    // Come back through the loop rather than spin here.
    SetEvent(read_event_.get());
    return true;
}

bool ComPort::harvest_read() {
    if (!reading_ || !HasOverlappedIoCompleted(&read_ov_)) {
        return reading_ || start_read();
    }
    reading_ = false;
    DWORD got = 0;
    if (GetOverlappedResult(port_.get(), &read_ov_, &got, FALSE)) {
        took(got);
    } else if (!still_there(port_.get())) {
        lose();
        return false;
    } else if (listener_ != nullptr) {
        listener_->faulted(bus::LineFault::read);
        if (!port_) {
            return false;
        }
    }
    return start_read();
}

bool ComPort::start_write() {
    if (writing_ || queued_.empty()) {
        return true;
    }
    writing_bytes_ = std::move(queued_);
    queued_.clear();
    write_ov_ = OVERLAPPED{};
    write_ov_.hEvent = write_event_.get();
    DWORD done = 0;
    if (WriteFile(port_.get(), writing_bytes_.data(), static_cast<DWORD>(writing_bytes_.size()),
                  &done, &write_ov_)) {
        writing_bytes_.clear();
        return true;
    }
    if (GetLastError() == ERROR_IO_PENDING) {
        writing_ = true;
        return true;
    }
    writing_bytes_.clear();
    return false;
}

bool ComPort::harvest_write() {
    if (!writing_ || !HasOverlappedIoCompleted(&write_ov_)) {
        return true;
    }
    writing_ = false;
    DWORD done = 0;
    const bool ok = GetOverlappedResult(port_.get(), &write_ov_, &done, FALSE) != 0 &&
                    done == writing_bytes_.size();
    writing_bytes_.clear();
    ResetEvent(write_event_.get());
    if (!ok) {
        if (!still_there(port_.get())) {
            lose();
            return false;
        }
        if (listener_ != nullptr) {
            listener_->faulted(bus::LineFault::write);
        }
    }
    return !port_ || start_write();
}

void ComPort::lose() {
    close();
    if (listener_ != nullptr) {
        listener_->lost();
    }
}

std::optional<bus::Micros> ComPort::due() const {
    if (!port_) {
        return std::nullopt;
    }
    const bus::Micros check = checked_ + kCheckEvery;
    return alarm_ ? std::min(*alarm_, check) : check;
}

void ComPort::service() {
    if (port_ && harvest_read() && port_) {
        harvest_write();
    }
    if (port_ && now() >= checked_ + kCheckEvery) {
        if (!still_there(port_.get())) {
            lose();
        }
        checked_ = now();
    }
    if (port_ && arrived_) {
        arrived_ = false;
        if (listener_ != nullptr) {
            listener_->input_arrived();
        }
    }
    if (port_ && alarm_ && now() >= *alarm_) {
        alarm_.reset();
        if (listener_ != nullptr) {
            listener_->alarm();
        }
    }
}

std::vector<std::uint8_t> ComPort::take(std::size_t count) {
    const auto n = static_cast<std::ptrdiff_t>(std::min(count, input_.size()));
    std::vector<std::uint8_t> out(input_.begin(), input_.begin() + n);
    input_.erase(input_.begin(), input_.begin() + n);
    return out;
}

std::vector<std::uint8_t> ComPort::take_input() {
    if (port_) {
        harvest_read();
    }
    arrived_ = false;
    return std::exchange(input_, {});
}

std::vector<std::uint8_t> ComPort::discard_input() {
    if (!port_) {
        return {};
    }
    harvest_read();
    if (port_) {
        PurgeComm(port_.get(), PURGE_RXCLEAR);
    }
    arrived_ = false;
    return std::exchange(input_, {});
}

bool ComPort::write(std::span<const std::uint8_t> bytes) {
    if (!port_) {
        return false;
    }
    queued_.insert(queued_.end(), bytes.begin(), bytes.end());
    return start_write();
}

bool ComPort::set_setting(const protocol::LineSetting& setting) {
    if (port_ && setting == setting_) {
        return true;
    }
    if (!port_ || !apply_setting(port_.get(), setting)) {
        return false;
    }
    setting_ = setting;
    return true;
}

}  // namespace tarvok::win
