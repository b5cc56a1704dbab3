// What the bus engine needs of a platform: an open serial line and a clock with one
// alarm. On Linux Qt's event loop drives it over serial::Port; on Windows a wait loop
// over a COM handle. Single-threaded: the platform tells its listener that bytes wait
// or that the alarm is due, from its own loop, never from inside a call into the line.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "protocol/request.h"

namespace tarvok::bus {

// A point on the line's monotonic clock (any epoch), or a span of it.
using Micros = std::chrono::microseconds;

// Which way a fault on a line that is still there went.
enum class LineFault { read, write };

// What the platform tells whoever drives the line.
class LineListener {
public:
    virtual ~LineListener() = default;
    // Bytes wait to be taken.
    virtual void input_arrived() = 0;
    // The alarm asked for with wake_at() is due.
    virtual void alarm() = 0;
    // The driver reported a fault on the open line.
    virtual void faulted(LineFault which) = 0;
    // The device went away; the line is closed and takes nothing more.
    virtual void lost() = 0;
};

class Line {
public:
    virtual ~Line() = default;

    // One listener at a time; null stops the calls.
    virtual void set_listener(LineListener* listener) = 0;
    virtual Micros now() const = 0;
    // One alarm at or after `at`; a later call replaces the earlier one.
    virtual void wake_at(Micros at) = 0;
    virtual void cancel_wake() = 0;
    // Hands the bytes to the line in order, unaltered; false when it refused them.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    // Every byte received and not yet taken, oldest first, the driver's own buffers
    // included.
    virtual std::vector<std::uint8_t> take_input() = 0;
    // Runs the open line at another rate and parity, in place: the device stays the
    // one opened. False when the driver refused.
    virtual bool set_setting(const protocol::LineSetting& setting) = 0;
    virtual protocol::LineSetting setting() const = 0;
    virtual bool is_open() const = 0;
};

}  // namespace tarvok::bus
