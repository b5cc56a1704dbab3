// A COM port by its number, as Windows names it (\\.\COMN): 8 data bits, 1 stop bit,
// the parity asked for, no handshake. Nothing here blocks: one overlapped read is
// always outstanding, and its event (with the write's) tells the caller's wait loop
// that something is done; service() then takes it and tells the listener.
// A bus::Line for the bus engine; the window uses the byte-level calls.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "bus/line.h"
#include "serial/serial_fault.h"
#include "win/com_setting.h"
#include "win/handle.h"

namespace tarvok::win {

class ComPort : public bus::Line {
public:
    ComPort();
    ~ComPort() override;
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;

    // Opens port `number` at `setting`; the fault when it could not.
    std::optional<serial::SerialFault> open(int number, const protocol::LineSetting& setting);
    void close();
    int number() const { return number_; }
    // Windows' own error code of the last refused open, for the rare fault with no
    // name of ours.
    DWORD system_error() const { return system_error_; }

    // What the caller's loop waits on while the port is open.
    std::span<const HANDLE> wait_handles() const;
    // Takes finished reads and writes and a due alarm, and tells the listener.
    void service();
    // When service() is next due without a handle signalled: the alarm, or the next
    // look at whether the device is still there. Nothing while closed.
    std::optional<bus::Micros> due() const;

    // Told of every byte as it arrives, before the listener hears that bytes wait: a
    // watch's copy of what the window reads itself.
    void set_tap(std::function<void(std::span<const std::uint8_t>)> tap) { tap_ = std::move(tap); }

    std::size_t available() const { return input_.size(); }
    // The oldest `count` bytes received, or all there are when fewer wait.
    std::vector<std::uint8_t> take(std::size_t count);
    // Drops every byte received and not yet taken, the driver's too; what it dropped.
    std::vector<std::uint8_t> discard_input();

    void set_listener(bus::LineListener* listener) override { listener_ = listener; }
    bus::Micros now() const override;
    void wake_at(bus::Micros at) override { alarm_ = at; }
    void cancel_wake() override { alarm_.reset(); }
    bool write(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> take_input() override;
    bool set_setting(const protocol::LineSetting& setting) override;
    protocol::LineSetting setting() const override { return setting_; }
    bool is_open() const override { return static_cast<bool>(port_); }

private:
    // Each returns false when the device is gone (the port is closed then).
    bool harvest_read();
    bool start_read();
    void took(DWORD got);
    bool harvest_write();
    bool start_write();
    void lose();

    Handle port_;
    Handle read_event_;
    Handle write_event_;
    OVERLAPPED read_ov_{};
    OVERLAPPED write_ov_{};
    bool reading_ = false;
    bool writing_ = false;
    std::array<std::uint8_t, 4096> read_buffer_{};
    std::vector<std::uint8_t> input_;
    std::vector<std::uint8_t> writing_bytes_;
    std::vector<std::uint8_t> queued_;
    mutable std::array<HANDLE, 2> waits_{};
    int number_ = 0;
    DWORD system_error_ = 0;
    protocol::LineSetting setting_;
    std::optional<bus::Micros> alarm_;
    bus::LineListener* listener_ = nullptr;
    std::function<void(std::span<const std::uint8_t>)> tap_;
    bool arrived_ = false;   // bytes came in since the listener was last told
    bus::Micros checked_{};  // when the device was last seen to be there
};

}  // namespace tarvok::win
