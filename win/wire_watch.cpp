#include "win/wire_watch.h"

#include <utility>

namespace tarvok::win {

WireWatch::WireWatch(ComPort& port, bus::TrafficRecord& record) : port_(port), record_(record) {
    port_.set_tap([this](std::span<const std::uint8_t> bytes) {
        if (engine_) {
            copy_.insert(copy_.end(), bytes.begin(), bytes.end());
        }
    });
}

WireWatch::~WireWatch() {
    port_.set_tap({});
    engine_.reset();
}

void WireWatch::resume() {
    engine_.reset();
    copy_.clear();
    bus::Line& line = *this;
    bus::EngineListener& listener = *this;
    engine_ = std::make_unique<bus::Engine>(line, listener);
}

void WireWatch::pause() {
    engine_.reset();
    copy_.clear();
}

void WireWatch::sent(const protocol::Frame& frame) {
    if (engine_) {
        engine_->observe(frame, ++sends_, bus::timing_for(port_.setting(), std::nullopt));
    }
}

void WireWatch::input_arrived() {
    if (listener_ != nullptr && !copy_.empty()) {
        listener_->input_arrived();
    }
}

void WireWatch::alarm() {
    if (listener_ != nullptr) {
        listener_->alarm();
    }
}

std::vector<std::uint8_t> WireWatch::take_input() { return std::exchange(copy_, {}); }

}  // namespace tarvok::win
