// What the engine hears besides the exchange in flight's own reply: bytes before any
// frame went out, and valid replies no exchange took, which tell of their module.
#include <array>
#include <utility>

#include "bus/engine.h"
#include "protocol/reply.h"

namespace tarvok::bus {

namespace {

bool valid_reply(const Note& note) {
    return note.bytes.size() == protocol::kFrameSize &&
           protocol::accepted(protocol::judge(protocol::frame_from(note.bytes)));
}

}  // namespace

// Heard before any frame went out: a valid reply is said as one that answers nothing,
// the rest as junk, and only the bytes that may still begin a frame are kept.
void Engine::judge_stray(std::span<const std::uint8_t> bytes) {
    static constexpr std::array<std::uint8_t, 1> kStarts{protocol::kReplyStart};
    stray_.insert(stray_.end(), bytes.begin(), bytes.end());
    std::vector<std::uint8_t> junk;
    const auto note = [this](Note::Kind kind, std::vector<std::uint8_t> heard) {
        Note n;
        n.kind = kind;
        n.bytes = std::move(heard);
        listener_.noted(n, kNoOwner);
    };
    while (true) {
        const auto scan = protocol::scan_frame(stray_, kStarts);
        const auto skipped = static_cast<std::ptrdiff_t>(scan.skip);
        junk.insert(junk.end(), stray_.begin(), stray_.begin() + skipped);
        stray_.erase(stray_.begin(), stray_.begin() + skipped);
        if (!scan.frame) {
            break;
        }
        if (!junk.empty()) {
            note(Note::Kind::junk, std::exchange(junk, {}));
        }
        note(Note::Kind::unmatched, {stray_.begin(), stray_.begin() + protocol::kFrameSize});
        stray_.erase(stray_.begin(), stray_.begin() + protocol::kFrameSize);
    }
    if (!junk.empty()) {
        note(Note::Kind::junk, std::move(junk));
    }
}

void Engine::publish_notes(bool after_end) {
    if (!current_) {
        return;
    }
    const Owner owner = owner_;
    for (const Note& note : current_->take_notes()) {
        // A lingering exchange counts its own second replies; everything else that is
        // a valid reply and taken by no exchange tells of its module.
        const bool counted = note.kind == Note::Kind::duplicate && !after_end;
        const bool surplus = note.kind == Note::Kind::unmatched ||
                             note.kind == Note::Kind::late || note.kind == Note::Kind::duplicate;
        if (surplus && !counted && valid_reply(note)) {
            const auto reply = protocol::frame_from(note.bytes);
            const Learned learned = ledger_.heard(reply, line_.now());
            if (learned.any()) {
                const std::uint8_t address = reply[protocol::kAddressByte];
                listener_.learned(address, learned, *ledger_.evidence(address));
            }
        }
        listener_.noted(note, owner);
    }
}

}  // namespace tarvok::bus
