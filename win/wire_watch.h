// The window's own frames judged as the bus engine judges every frame, as on Debian
// (ui/wire_watch.h). The window reads its replies as designed (eight bytes after a
// command); this watch is a line that hears a copy of every byte the COM port receives,
// with the port's clock and alarm, and an engine over it puts what it met into the
// traffic record, so 通讯记录 says of the window's frames what tarvokctl would.
#pragma once

#include <memory>
#include <vector>

#include "bus/engine.h"
#include "bus/traffic.h"
#include "win/com_port.h"

namespace tarvok::win {

class WireWatch : private bus::Line, private bus::EngineListener {
public:
    WireWatch(ComPort& port, bus::TrafficRecord& record);
    ~WireWatch() override;
    WireWatch(const WireWatch&) = delete;
    WireWatch& operator=(const WireWatch&) = delete;

    // Starts afresh: the port opened.
    void resume();
    // The port closed or went away.
    void pause();
    // The window wrote `frame` at the port's line.
    void sent(const protocol::Frame& frame);
    // The port's listener passes on that bytes came and that the alarm is due.
    void input_arrived();
    void alarm();

private:
    // A line that never writes: the window sends.
    void set_listener(bus::LineListener* listener) override { listener_ = listener; }
    bus::Micros now() const override { return port_.now(); }
    void wake_at(bus::Micros at) override { port_.wake_at(at); }
    void cancel_wake() override { port_.cancel_wake(); }
    bool write(std::span<const std::uint8_t>) override { return true; }
    std::vector<std::uint8_t> take_input() override;
    bool set_setting(const protocol::LineSetting&) override { return false; }
    protocol::LineSetting setting() const override { return port_.setting(); }
    bool is_open() const override { return port_.is_open(); }

    void noted(const bus::Note& note, bus::Owner) override { record_.noted(note); }
    void finished(const bus::Result& result, bus::Owner) override { record_.exchanged(result); }
    void discarded(std::span<const std::uint8_t> bytes) override { record_.discarded(bytes); }
    void learned(std::uint8_t, const bus::Learned&, const bus::Evidence&) override {}
    void line_faulted(bus::LineFault) override {}
    void line_lost() override {}

    ComPort& port_;
    bus::TrafficRecord& record_;
    bus::LineListener* listener_ = nullptr;
    std::vector<std::uint8_t> copy_;
    std::unique_ptr<bus::Engine> engine_;
    bus::Owner sends_ = 0;
};

}  // namespace tarvok::win
