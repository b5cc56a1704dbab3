#include "plan/run_words.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "protocol/reply.h"
#include "protocol/request.h"

namespace tarvok::plan {

namespace {

using protocol::line_words;
using W = RunWord;

std::string say(RunWord id, std::initializer_list<std::string_view> args) {
    return words::fill(word(id), args);
}

int rounded(double ms) { return static_cast<int>(std::lround(ms)); }
int rounded(bus::Micros span) { return static_cast<int>((span.count() + 500) / 1000); }

std::string unsent_note(Unsent why) {
    switch (why) {
    case Unsent::stopped:
        return std::string(word(W::stopped));
    case Unsent::port_lost:
        return std::string(word(W::port_lost));
    case Unsent::line_fault:
        return std::string(word(W::line_fault));
    case Unsent::line_busy:
        return std::string(word(W::line_busy));
    case Unsent::write_failed:
        return std::string(word(W::write_failed));
    case Unsent::none:
        break;
    }
    return {};
}

std::string doubt_note(const StepResult& r) {
    switch (r.doubt) {
    case Doubt::leftover:
        return std::string(word(W::leftover));
    case Doubt::line_unproven:
        return say(W::line_unproven, {line_words(*r.moved_to), line_words(r.line)});
    case Doubt::stopped_unproven:
        return say(W::stopped_unproven, {line_words(*r.moved_to)});
    case Doubt::none:
        break;
    }
    return {};
}

std::string outcome_note(const StepResult& r) {
    switch (r.outcome) {
    case Outcome::done:
        return {};
    case Outcome::refused:
        return std::string(word(W::refused_note));
    case Outcome::no_reply: {
        if (r.cut_off) {
            return std::string(word(W::cut_off));
        }
        std::string text =
            say(W::no_reply_note, {std::to_string(r.attempts), std::to_string(r.wait_ms)});
        if (!r.received.empty()) {
            text += say(W::junk_heard, {std::to_string(r.received.size())});
        }
        return text;
    }
    case Outcome::unconfirmed:
        return doubt_note(r);
    case Outcome::not_sent:
        return unsent_note(r.unsent);
    }
    return {};
}

std::string line_note(const StepResult& r) {
    if (r.maybe_at && r.outcome == Outcome::no_reply) {
        return say(W::maybe_at, {line_words(*r.maybe_at)});
    }
    if (r.proven) {
        return say(W::proven, {line_words(*r.moved_to), std::to_string(r.step.address)});
    }
    if (r.module_moved_to && r.outcome != Outcome::not_sent) {
        return say(W::moved_before, {std::to_string(r.step.address), line_words(*r.module_moved_to),
                                     line_words(r.line)});
    }
    return {};
}

std::string reply_of(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() == protocol::kFrameSize ? " " + protocol::hex(bytes) : std::string();
}

}  // namespace

std::string_view outcome_word(Outcome outcome) {
    switch (outcome) {
    case Outcome::done:
        return word(W::done);
    case Outcome::refused:
        return word(W::failed);
    case Outcome::no_reply:
        return word(W::no_reply);
    case Outcome::unconfirmed:
        return word(W::unconfirmed);
    case Outcome::not_sent:
        return word(W::not_sent);
    }
    return {};
}

std::string line_text(const protocol::LineSetting& line) {
    return line_words(line, words::Language::chinese);
}

std::string reply_ms_text(const StepResult& r) {
    if (!r.reply) {
        return {};
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f", r.reply_ms);
    return text.data();
}

std::string result_note(const StepResult& r) {
    std::string note;
    const auto add = [&note](const std::string& part) {
        if (!part.empty()) {
            note += (note.empty() ? std::string() : std::string(word(W::note_separator))) + part;
        }
    };
    add(outcome_note(r));
    if (r.reply && !r.echoed) {
        add(std::string(protocol::mismatch_words()));
    }
    if (r.late && r.outcome != Outcome::unconfirmed) {
        add(say(W::late_note,
                {protocol::late_words(rounded(r.reply_ms)), std::to_string(r.wait_ms)}));
    }
    if (r.duplicates > 0) {
        add(say(W::duplicates, {protocol::duplicate_words(), std::to_string(r.duplicates)}));
    }
    if (r.busy && r.reply) {
        add(std::string(word(W::busy_reply)));
    }
    add(line_note(r));
    return note;
}

std::string remark_note(const Remark& r) {
    switch (r.kind) {
    case Remark::Kind::late:
        return say(W::late_remark, {protocol::late_words(rounded(r.after)), reply_of(r.bytes)});
    case Remark::Kind::duplicate:
        return std::string(protocol::duplicate_words()) + reply_of(r.bytes);
    case Remark::Kind::unmatched:
        return say(W::unmatched_remark, {reply_of(r.bytes), protocol::unmatched_words()});
    case Remark::Kind::garbled_echo:
        return std::string(protocol::garbled_echo_words());
    case Remark::Kind::discarded:
    case Remark::Kind::learned:
        break;
    }
    return {};
}

}  // namespace tarvok::plan
