#include "bus/traffic_words.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "protocol/protocol_words.h"
#include "protocol/reply.h"
#include "words/csv.h"

namespace tarvok::bus {

namespace {

using Kind = TrafficEvent::Kind;
using words::fill;

std::string text(TrafficWord id) { return std::string(word(id)); }

TrafficWords wire(std::int64_t ms, const protocol::WireWords& w) {
    return {ms, w.direction, w.hex, w.meaning, protocol::line(w)};
}

TrafficWords plain(std::int64_t ms, std::string kind, std::string meaning) {
    std::string line = kind + " · " + meaning;
    return {ms, std::move(kind), {}, std::move(meaning), std::move(line)};
}

std::string received() { return std::string(protocol::word(protocol::ProtocolWord::received)); }

// A received frame in words: its verdict and what it stands for beside it.
TrafficWords heard(const TrafficEvent& e, const std::string& more) {
    protocol::WireWords w = protocol::received_words(protocol::frame_from(e.bytes), e.about);
    if (!more.empty()) {
        w.meaning += " · " + more;
    }
    return wire(e.ms, w);
}

TrafficWords junk_words(const TrafficEvent& e) {
    const bool group =
        e.bytes.size() == protocol::kFrameSize &&
        (e.bytes.front() == protocol::kReplyStart || e.bytes.front() == protocol::kCommandStart);
    if (group) {
        // Eight bytes that look like a frame and fail its check: say why.
        const auto frame = protocol::frame_from(e.bytes);
        return wire(e.ms, {received(), protocol::hex(frame),
                           protocol::describe(protocol::judge(frame), frame)});
    }
    const std::string hex = protocol::hex(e.bytes);
    const std::string count = e.bytes.size() == 1
                                  ? text(TrafficWord::one_byte)
                                  : fill(word(TrafficWord::bytes), {grouped(e.bytes.size())});
    const std::string kind = text(TrafficWord::dropped);
    return {e.ms, kind, hex, count, fill(word(TrafficWord::junk_line), {kind, count, hex})};
}

std::string no_reply_meaning(const TrafficEvent& e) {
    const std::string address = std::to_string(e.about ? (*e.about)[protocol::kAddressByte] : 0);
    if (e.busy) {
        return fill(word(TrafficWord::busy_at), {address, protocol::busy_words()});
    }
    return fill(word(TrafficWord::no_reply_at), {address, std::to_string(e.waited_ms)});
}

std::string about_words(const TrafficEvent& e) {
    return e.about ? protocol::sent_words(*e.about).meaning : std::string();
}

TrafficWords port_words(const TrafficEvent& e, TrafficWord id) {
    const std::string port = std::to_string(e.port);
    return plain(e.ms, text(TrafficWord::port), fill(word(id), {port, e.device, e.settings}));
}

}  // namespace

std::string grouped(std::int64_t number) {
    const std::string digits = std::to_string(number < 0 ? -number : number);
    std::string out;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0) {
            out += ',';
        }
        out += digits[at];
    }
    return number < 0 ? "-" + out : out;
}

TrafficWords traffic_words(const TrafficEvent& e) {
    switch (e.kind) {
    case Kind::sent:
        return wire(e.ms, protocol::sent_words(protocol::frame_from(e.bytes)));
    case Kind::reply:
        return heard(e, e.late ? protocol::late_words(e.waited_ms) : std::string());
    case Kind::echo:
        return wire(e.ms,
                    {received(), protocol::hex(e.bytes), std::string(protocol::echo_words())});
    case Kind::garbled_echo:
        return wire(e.ms, {received(), protocol::hex(e.bytes),
                           std::string(protocol::garbled_echo_words())});
    case Kind::junk:
        return junk_words(e);
    case Kind::unmatched:
        return heard(e, {});
    case Kind::duplicate:
        return heard(e, std::string(protocol::duplicate_words()));
    case Kind::late:
        return heard(e, fill(word(TrafficWord::answering),
                             {protocol::late_words(e.waited_ms), about_words(e)}));
    case Kind::no_reply:
        return plain(e.ms, text(TrafficWord::no_reply), no_reply_meaning(e));
    case Kind::busy:
        return plain(e.ms, text(TrafficWord::line), no_reply_meaning(e));
    case Kind::opened:
        return port_words(e, TrafficWord::opened);
    case Kind::lost:
        return port_words(e, TrafficWord::lost);
    case Kind::closed:
        break;
    }
    return port_words(e, TrafficWord::closed);
}

std::string traffic_line(const TrafficWords& words) {
    const std::string ms = grouped(words.ms);
    return std::string(ms.size() < 10 ? 10 - ms.size() : 0, ' ') + ms + " ms  " + words.text;
}

std::string stamp_text(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    char out[32] = {};
    // One thread reads the clock's words; localtime's shared result is not kept.
    const std::tm* local = std::localtime(&seconds);
    if (local == nullptr || std::strftime(out, sizeof out, "%Y-%m-%d %H:%M:%S", local) == 0) {
        return {};
    }
    return out;
}

std::string began_words(std::string_view stamp) { return fill(word(TrafficWord::began), {stamp}); }

std::string dropped_words(std::int64_t dropped) {
    if (dropped == 0) {
        return {};
    }
    return fill(word(TrafficWord::dropped_note),
                {grouped(dropped), grouped(static_cast<std::int64_t>(TrafficRecord::kMostEvents))});
}

std::string saved_traffic(const std::deque<TrafficEvent>& events, std::string_view stamp,
                          bool csv) {
    std::string out = csv ? std::string(words::kUtf8Mark) +
                                fill(word(TrafficWord::csv_began), {stamp}) + '\n' +
                                text(TrafficWord::csv_header)
                          : began_words(stamp);
    out += '\n';
    for (const TrafficEvent& event : events) {
        const TrafficWords w = traffic_words(event);
        out += csv ? std::to_string(w.ms) + ',' + w.kind + ',' + w.hex + ',' +
                         words::csv_field(w.meaning)
                   : traffic_line(w);
        out += '\n';
    }
    return out;
}

bool saved_as_csv(std::string_view name) {
    constexpr std::string_view kCsv = ".csv";
    return name.size() >= kCsv.size() &&
           std::equal(kCsv.begin(), kCsv.end(), name.end() - kCsv.size(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

}  // namespace tarvok::bus
