#include "ui/wire_watch.h"

#include "bus/port_line.h"
#include "ui/traffic.h"

namespace tarvok::ui {

WireWatch::WireWatch(serial::Port& port, Traffic& traffic, QObject* parent)
    : QObject(parent), line_(new bus::TapLine(port, this)), traffic_(traffic) {
    resume();
}

WireWatch::~WireWatch() = default;

void WireWatch::resume() {
    engine_.reset();
    (void)line_->take_input();  // what the borrower has judged already
    engine_ = std::make_unique<bus::Engine>(*line_, *this);
}

void WireWatch::pause() { engine_.reset(); }

void WireWatch::sent(const protocol::Frame& frame, const protocol::LineSetting& line) {
    if (engine_) {
        engine_->observe(frame, ++sends_, bus::timing_for(line, std::nullopt));
    }
}

void WireWatch::noted(const bus::Note& note, bus::Owner /*owner*/) { traffic_.noted(note); }

void WireWatch::finished(const bus::Result& result, bus::Owner /*owner*/) {
    traffic_.exchanged(result);
}

void WireWatch::discarded(std::span<const std::uint8_t> bytes) { traffic_.discarded(bytes); }

}  // namespace tarvok::ui
