#include "bus/traffic.h"

#include "serial/line_settings.h"

namespace tarvok::bus {

namespace {

using Kind = TrafficEvent::Kind;

int rounded_ms(Micros span) { return static_cast<int>((span.count() + 500) / 1000); }

// None for the engine's own mark of a passed deadline: the exchange may still end with a
// late reply, and its end says.
std::optional<Kind> kind_of(Note::Kind kind) {
    switch (kind) {
    case Note::Kind::sent:
        return Kind::sent;
    case Note::Kind::reply:
        return Kind::reply;
    case Note::Kind::echo:
        return Kind::echo;
    case Note::Kind::garbled_echo:
        return Kind::garbled_echo;
    case Note::Kind::junk:
        return Kind::junk;
    case Note::Kind::unmatched:
        return Kind::unmatched;
    case Note::Kind::duplicate:
        return Kind::duplicate;
    case Note::Kind::late:
        return Kind::late;
    case Note::Kind::deadline:
        break;
    }
    return std::nullopt;
}

}  // namespace

void TrafficRecord::port_opened(int port, const std::string& device,
                                const protocol::LineSetting& line) {
    port_ = port;
    last_sent_.reset();
    TrafficEvent event;
    event.kind = Kind::opened;
    event.device = device;
    event.settings = serial::settings_text(line);
    record(event);
}

void TrafficRecord::port_closed() {
    TrafficEvent event;
    event.kind = Kind::closed;
    record(event);
}

void TrafficRecord::port_lost(const std::string& device) {
    TrafficEvent event;
    event.kind = Kind::lost;
    event.device = device;
    record(event);
}

void TrafficRecord::noted(const Note& note) {
    const auto kind = kind_of(note.kind);
    if (!kind) {
        return;
    }
    TrafficEvent event;
    event.kind = *kind;
    event.bytes = note.bytes;
    event.about = last_sent_;
    event.waited_ms = rounded_ms(note.after);
    event.late = note.kind == Note::Kind::reply && note.late;
    if (note.kind == Note::Kind::sent && note.bytes.size() == protocol::kFrameSize) {
        last_sent_ = protocol::frame_from(note.bytes);
    }
    record(event);
}

void TrafficRecord::exchanged(const Result& result) {
    if (result.not_sent || (result.reply && !result.busy)) {
        return;
    }
    TrafficEvent event;
    event.kind = result.reply ? Kind::busy : Kind::no_reply;
    event.about = result.sent;
    event.busy = result.busy;
    event.waited_ms = rounded_ms(result.deadline);
    record(event);
}

void TrafficRecord::discarded(std::span<const std::uint8_t> bytes) {
    Note note;
    note.kind = Note::Kind::junk;
    note.bytes.assign(bytes.begin(), bytes.end());
    noted(note);
}

void TrafficRecord::clear() {
    events_.clear();
    dropped_ = 0;
}

void TrafficRecord::record(TrafficEvent event) {
    if (events_.empty() && dropped_ == 0) {
        start_ = std::chrono::steady_clock::now();
        began_ = std::chrono::system_clock::now();
    }
    event.ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
                   .count();
    event.port = port_;
    if (events_.size() == kMostEvents) {
        events_.pop_front();
        ++dropped_;
    }
    events_.push_back(std::move(event));
    if (listener_) {
        listener_(events_.back());
    }
}

}  // namespace tarvok::bus
