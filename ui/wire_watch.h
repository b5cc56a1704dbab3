// The window's own frames judged as the bus engine judges every frame. The window sends
// and reads its replies as it was designed to (eight bytes after a command); this watch
// hears a copy of the same bytes as they come, so 通讯记录 says of them what tarvokctl or
// a scan would say of the same bytes at the same times. Quiet while the port is lent:
// the borrower's engine judges then.
#pragma once

#include <QObject>

#include <memory>

#include "bus/engine.h"

namespace tarvok::serial {
class Port;
}

namespace tarvok::bus {
class TapLine;
}

namespace tarvok::ui {

class Traffic;

class WireWatch : public QObject, public bus::EngineListener {
    Q_OBJECT

public:
    WireWatch(serial::Port& port, Traffic& traffic, QObject* parent = nullptr);
    ~WireWatch() override;

    // The window wrote `frame` at `line`.
    void sent(const protocol::Frame& frame, const protocol::LineSetting& line);
    // Starts afresh: the port opened, or came back from a loan.
    void resume();
    void pause();

    void noted(const bus::Note& note, bus::Owner owner) override;
    void finished(const bus::Result& result, bus::Owner owner) override;
    void discarded(std::span<const std::uint8_t> bytes) override;
    void learned(std::uint8_t, const bus::Learned&, const bus::Evidence&) override {}
    void line_faulted(bus::LineFault) override {}
    void line_lost() override {}

private:
    bus::TapLine* line_;
    Traffic& traffic_;
    std::unique_ptr<bus::Engine> engine_;
    bus::Owner sends_ = 0;
};

}  // namespace tarvok::ui
