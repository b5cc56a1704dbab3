#include "bus/scanner.h"

#include <algorithm>

#include "protocol/reply.h"
#include "protocol/scan.h"
#include "protocol/wire.h"

namespace tarvok::bus {

std::chrono::milliseconds scan_bound(const ScanPlan& plan) {
    std::chrono::milliseconds total{0};
    for (const auto& line : plan.lines) {
        const int each =
            plan.deadline_ms.value_or(protocol::reply_timeout_ms(line.baud, line.parity));
        total += std::chrono::milliseconds(std::int64_t{each} *
                                           static_cast<std::int64_t>(plan.addresses.size()));
    }
    return total;
}

Scanner::Scanner(Line& line, ScanPlan plan, ScanListener& listener)
    : line_link_(line), plan_(std::move(plan)), listener_(listener), engine_(line, *this) {}

void Scanner::start() {
    started_ = true;
    next();
}

void Scanner::stop() {
    stopping_ = true;
    engine_.stop();
    if (engine_.idle()) {
        end(ScanEnd::stopped);
    }
}

void Scanner::next() {
    if (ended_) {
        return;
    }
    if (fault_) {
        end(ScanEnd::line_fault);
        return;
    }
    if (stopping_) {
        end(ScanEnd::stopped);
        return;
    }
    if (line_ == plan_.lines.size() || plan_.addresses.empty()) {
        end(ScanEnd::completed);
        return;
    }
    if (!line_ready_ || address_ == plan_.addresses.size()) {
        // Every frame of the line before must be past answering: a late reply then is
        // still credited at the line it was asked at.
        line_ready_ = false;
        engine_.settle(timing_for(line_link_.setting(), plan_.deadline_ms));
        return;
    }
    ask();
}

void Scanner::settled() {
    if (ended_ || line_ready_) {
        return;
    }
    if (stopping_) {
        end(ScanEnd::stopped);
        return;
    }
    if (address_ == plan_.addresses.size()) {
        address_ = 0;
        if (++line_ == plan_.lines.size()) {
            end(ScanEnd::completed);
            return;
        }
    }
    const protocol::LineSetting& line = plan_.lines[line_];
    if (!line_link_.set_setting(line)) {
        fault_ = LineFault::write;
        end(ScanEnd::line_fault);
        return;
    }
    line_ready_ = true;
    asked_.clear();
    listener_.line_started(line, static_cast<int>(line_), static_cast<int>(plan_.lines.size()));
    ask();
}

void Scanner::ask() {
    const protocol::LineSetting& line = plan_.lines[line_];
    const std::uint8_t address = plan_.addresses[address_];
    Request request;
    request.frame = protocol::no_op_frame(address, line);
    request.retries = plan_.retries;
    request.timing = timing_for(line, plan_.deadline_ms);
    request.timing.settle = Micros{0};
    asked_.insert(address);
    engine_.exchange(request, line_ * 256 + address);
}

void Scanner::finished(const Result& result, Owner /*owner*/) {
    if (ended_) {
        return;
    }
    if (result.not_sent) {
        next();
        return;
    }
    if (result.reply) {
        record(result.sent[protocol::kAddressByte], result.late);
    }
    ++address_;
    const int per_line = static_cast<int>(plan_.addresses.size());
    listener_.progressed(static_cast<int>(line_) * per_line + static_cast<int>(address_),
                         per_line * static_cast<int>(plan_.lines.size()),
                         result.sent[protocol::kAddressByte]);
    next();
}

// A valid reply to a no-op frame sent earlier at this line names its module.
void Scanner::noted(const Note& note, Owner /*owner*/) {
    listener_.noted(note);
    if (note.kind != Note::Kind::unmatched && note.kind != Note::Kind::late) {
        return;
    }
    const auto reply = protocol::frame_from(note.bytes);
    const auto address = reply[protocol::kAddressByte];
    const bool ours =
        reply[protocol::kCodeByte] == static_cast<std::uint8_t>(protocol::Command::device_serial);
    if (ours && asked_.contains(address)) {
        record(address, true);
    }
}

void Scanner::discarded(std::span<const std::uint8_t> bytes) {
    Note note;
    note.kind = Note::Kind::junk;
    note.bytes.assign(bytes.begin(), bytes.end());
    listener_.noted(note);
}

void Scanner::record(std::uint8_t address, bool late) {
    const protocol::LineSetting& line = plan_.lines[line_];
    const auto known = std::find_if(found_.begin(), found_.end(),
                                    [address](const FoundModule& m) { return m.address == address; });
    if (known == found_.end()) {
        found_.push_back({address, line, late});
        listener_.module_found(found_.back());
    } else if (!(known->line == line)) {
        listener_.found_again(*known, line);
    }
}

void Scanner::line_faulted(LineFault which) {
    fault_ = which;
    engine_.stop();
}

void Scanner::line_lost() { end(ScanEnd::port_lost); }

void Scanner::end(ScanEnd how) {
    if (ended_) {
        return;
    }
    ended_ = true;
    engine_.stop();
    listener_.scan_finished(how);
}

}  // namespace tarvok::bus
