// What the runner passes on of the line besides results: every note for a traffic
// record, and the remarks a front end puts into words.
#include "plan/runner.h"

namespace tarvok::plan {

void Runner::noted(const bus::Note& note, bus::Owner owner) {
    listener_.noted(note);
    const std::size_t step = owner / 2;
    if (note.kind == bus::Note::Kind::sent && !is_proof(owner) && step < results_.size()) {
        results_[step].attempts = note.attempt;
    }
    Remark remark;
    remark.step = step;
    remark.bytes = note.bytes;
    remark.after = note.after;
    switch (note.kind) {
    case bus::Note::Kind::late:
        remark.kind = Remark::Kind::late;
        break;
    case bus::Note::Kind::duplicate:
        remark.kind = Remark::Kind::duplicate;
        break;
    case bus::Note::Kind::unmatched:
        remark.kind = Remark::Kind::unmatched;
        break;
    case bus::Note::Kind::garbled_echo:
        remark.kind = Remark::Kind::garbled_echo;
        break;
    case bus::Note::Kind::sent:
    case bus::Note::Kind::reply:
    case bus::Note::Kind::echo:
    case bus::Note::Kind::junk:
    case bus::Note::Kind::deadline:
        return;
    }
    listener_.remarked(remark);
}

void Runner::discarded(std::span<const std::uint8_t> bytes) {
    Remark remark;
    remark.kind = Remark::Kind::discarded;
    remark.step = index_ < results_.size() ? std::optional(index_) : std::nullopt;
    remark.bytes.assign(bytes.begin(), bytes.end());
    listener_.remarked(remark);
}

void Runner::learned(std::uint8_t address, const bus::Learned& what, const bus::Evidence& now) {
    Remark remark;
    remark.kind = Remark::Kind::learned;
    remark.address = address;
    remark.learned = what;
    remark.evidence = now;
    remark.timing = engine_.ledger().timing(address, timing_at(line_.setting()));
    listener_.remarked(remark);
}

}  // namespace tarvok::plan
