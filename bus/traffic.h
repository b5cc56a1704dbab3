// What crossed the wire while a window ran, as the bus engine judged it: every frame
// sent, every reply and what it answers, echoes, bytes that made no frame, a frame left
// without a valid reply, and the port opening, closing or going away. Whoever drives
// the line reports into it: a window's own frames through its watch (an engine over a
// tap of the port's bytes), a scan's or a plan's through the engine that sends them.
// Recorded as plain values, at most the last kMostEvents, and put into words only when
// someone reads them (bus/traffic_words.h). Plain C++: the Debian window wraps it for
// Qt (ui/traffic.h), tarvok.exe uses it as it is.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bus/exchange.h"
#include "protocol/frame.h"

namespace tarvok::bus {

struct TrafficEvent {
    enum class Kind {
        opened,
        closed,
        lost,
        sent,
        reply,         // the reply counted for the frame sent
        echo,          // the frame itself, handed back by the adapter
        garbled_echo,  // a command's start byte, but not the frame sent
        junk,          // bytes that make no valid frame
        unmatched,     // a valid reply that answers no frame in flight
        duplicate,     // a second reply to a frame that had one
        late,          // a reply to a frame after it was given up
        no_reply,      // a frame left without a valid reply
        busy,          // a reply was counted, but the line never went quiet after it
    };
    Kind kind = Kind::sent;
    std::int64_t ms = 0;                   // since the record began
    std::vector<std::uint8_t> bytes;       // what was sent or heard
    std::optional<protocol::Frame> about;  // the frame sent before it
    int port = 0;                          // opened, closed, lost
    std::string device;                    // opened, lost
    std::string settings;                  // opened: "9600,n,8,1"
    int waited_ms = 0;  // no_reply: the deadline; late, and a reply counted late: its delay
    bool late = false;  // reply: counted after its deadline
    bool busy = false;  // no_reply: the line never went quiet
};

class TrafficRecord {
public:
    static constexpr std::size_t kMostEvents = 10'000;
    using Listener = std::function<void(const TrafficEvent&)>;

    // Told of every event as it is recorded.
    void set_listener(Listener listener) { listener_ = std::move(listener); }

    void port_opened(int port, const std::string& device, const protocol::LineSetting& line);
    void port_closed();
    void port_lost(const std::string& device);
    // What the bus engine met on the line.
    void noted(const Note& note);
    // An exchange ended: no reply counted, or a line that never went quiet, is said.
    void exchanged(const Result& result);
    // Bytes heard while no frame had gone out, dropped.
    void discarded(std::span<const std::uint8_t> bytes);

    const std::deque<TrafficEvent>& events() const { return events_; }
    // When the record's first event came, by the wall clock.
    std::chrono::system_clock::time_point began() const { return began_; }
    // How many of the oldest events made room for newer ones.
    std::int64_t dropped() const { return dropped_; }
    void clear();

private:
    void record(TrafficEvent event);

    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::system_clock::time_point began_ = std::chrono::system_clock::now();
    std::optional<protocol::Frame> last_sent_;
    std::deque<TrafficEvent> events_;
    std::int64_t dropped_ = 0;
    int port_ = 0;
    Listener listener_;
};

}  // namespace tarvok::bus
