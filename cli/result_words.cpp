#include "cli/result_words.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "cli/cli_words.h"
#include "cli/exit_codes.h"
#include "protocol/protocol_words.h"
#include "protocol/reply.h"
#include "protocol/request.h"

namespace tarvok::cli {

std::size_t columns(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        n += byte < 0x80 ? 1 : (byte >= 0xC0 ? 2 : 0);
    }
    return n;
}

namespace {

using plan::Outcome;
using plan::StepResult;
using protocol::line_words;
using W = CliWord;

// Received bytes shown in a line, at most; a flood would say nothing more.
constexpr std::size_t kShownBytes = 24;

// In Outcome's order: the summary's labels and the result lines' words.
constexpr std::array<CliWord, 5> kOutcomeLabels = {W::done, W::refused, W::no_reply, W::unconfirmed,
                                                   W::not_sent};

std::string_view label(Outcome outcome) {
    return word(kOutcomeLabels.at(static_cast<std::size_t>(outcome)));
}

}  // namespace

std::string where(const plan::PlanStep& step) {
    const std::string address = say(W::address, {std::to_string(step.address)});
    return step.line == 0 ? address : say(W::at_line, {std::to_string(step.line), address});
}

std::string shown_bytes(const std::vector<std::uint8_t>& bytes) {
    const std::size_t shown = std::min(bytes.size(), kShownBytes);
    return protocol::hex(std::span(bytes).first(shown)) + (shown < bytes.size() ? " …" : "");
}

namespace {

std::string ms_text(double ms) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f", ms);
    return text.data();
}

std::string line_options(const protocol::LineSetting& line) {
    return "--baud " + std::to_string(line.baud) + " --parity " +
           std::string(protocol::find_value(protocol::kParities, line.parity)->alias);
}

std::string unsent_words(plan::Unsent why) {
    switch (why) {
    case plan::Unsent::stopped:
        return std::string(word(W::unsent_stopped));
    case plan::Unsent::port_lost:
        return std::string(word(W::unsent_port_lost));
    case plan::Unsent::line_fault:
        return std::string(word(W::unsent_line_fault));
    case plan::Unsent::line_busy:
        return say(W::unsent_busy, {protocol::busy_words()});
    case plan::Unsent::write_failed:
        return std::string(word(W::unsent_write));
    case plan::Unsent::none:
        break;
    }
    return {};
}

std::string doubt_words(const StepResult& r) {
    const std::string address = std::to_string(r.step.address);
    switch (r.doubt) {
    case plan::Doubt::leftover:
        return std::string(word(W::leftover));
    case plan::Doubt::line_unproven:
        return say(W::line_unproven, {line_words(*r.moved_to), line_words(r.line), address});
    case plan::Doubt::stopped_unproven:
        return say(W::stopped_unproven, {line_words(*r.moved_to)});
    case plan::Doubt::none:
        break;
    }
    return {};
}

std::string outcome_detail(const StepResult& r) {
    const std::string name(label(r.outcome));
    switch (r.outcome) {
    case Outcome::done:
        return say(W::done_in, {name, ms_text(r.milliseconds)});
    case Outcome::refused:
        return say(W::refused_detail, {name});
    case Outcome::no_reply: {
        if (r.cut_off) {
            return say(r.unsent == plan::Unsent::stopped ? W::cut_stopped : W::cut_lost, {name});
        }
        std::string text =
            say(W::tries, {name, std::to_string(r.attempts), std::to_string(r.wait_ms)});
        if (!r.received.empty()) {
            text += say(W::junk, {std::to_string(r.received.size()), shown_bytes(r.received)});
        }
        return text + std::string(word(W::close));
    }
    case Outcome::unconfirmed:
        return name + doubt_words(r);
    case Outcome::not_sent:
        return name + unsent_words(r.unsent);
    }
    return name;
}

std::string late_advice(const StepResult& r) {
    return say(W::late_advice,
               {protocol::late_words(static_cast<int>(std::lround(r.reply_ms))),
                std::to_string(r.wait_ms), std::to_string(std::lround(r.reply_ms * 2))});
}

std::string line_change_words(const StepResult& r, bool follow) {
    const std::string address = std::to_string(r.step.address);
    if (r.maybe_at && r.outcome == Outcome::no_reply && !r.module_moved_to) {
        return say(W::maybe_at, {line_words(*r.maybe_at), line_options(*r.maybe_at)});
    }
    if (!r.proven) {
        return {};
    }
    const std::string now = line_words(*r.moved_to);
    if (follow) {
        return say(W::proven_follow, {now, address});
    }
    return say(W::proven,
               {now, r.later_need_line ? say(W::later_need, {address, line_options(*r.moved_to)})
                                       : say(W::send_later, {line_options(*r.moved_to)})});
}

// "第 2–9、12 行" for the plan lines of the results that ended in `outcome`; a range
// only over lines that follow one another in the plan.
std::string line_ranges(std::span<const StepResult> results, Outcome outcome) {
    std::vector<int> lines;
    for (const auto& r : results) {
        if (r.outcome == outcome && (lines.empty() || lines.back() != r.step.line)) {
            lines.push_back(r.step.line);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::size_t last = i;
        while (last + 1 < lines.size() && lines[last + 1] == lines[last] + 1) {
            ++last;
        }
        text +=
            (text.empty() ? std::string()
                          : std::string(protocol::word(protocol::ProtocolWord::list_separator))) +
            std::to_string(lines[i]);
        if (last > i) {
            text += "–" + std::to_string(lines[last]);
        }
        i = last;
    }
    if (text.empty()) {
        return text;
    }
    return say(lines.size() == 1 ? W::lines_one : W::lines_many, {text});
}

// Labels line up as wide as the widest of them.
std::string padded(std::string_view name) {
    std::size_t width = 0;
    for (const CliWord id : kOutcomeLabels) {
        width = std::max(width, columns(word(id)));
    }
    return std::string(name) + std::string(width - std::min(columns(name), width), ' ');
}

std::string signal_name(int signo) {
    switch (signo) {
    case kSigInt:
        return std::string(word(W::sigint));
    case kSigTerm:
        return std::string(word(W::sigterm));
    case kSigHup:
        return std::string(word(W::sighup));
    default:
        return say(W::signal_other, {std::to_string(signo)});
    }
}

}  // namespace

std::string result_line(const StepResult& r, bool follow) {
    std::string line =
        where(r.step) + " · " + protocol::describe(r.step.request) + " → " + outcome_detail(r);
    const auto add = [&line](const std::string& part) {
        if (!part.empty()) {
            line += " · " + part;
        }
    };
    if (r.reply && !r.echoed) {
        add(std::string(protocol::mismatch_words()));
    }
    if (r.late && r.outcome != Outcome::unconfirmed) {
        add(late_advice(r));
    }
    if (r.busy && r.reply) {
        add(std::string(protocol::busy_words()));
    }
    if (r.echoes > 0) {
        add(say(W::echoes, {protocol::echo_words(), std::to_string(r.echoes)}));
    }
    if (r.module_moved_to && r.outcome != Outcome::not_sent) {
        add(say(W::moved_before, {std::to_string(r.step.address), line_words(*r.module_moved_to),
                                  line_words(r.line)}));
    }
    add(line_change_words(r, follow));
    return line;
}

std::string summary_text(std::span<const StepResult> results, RunStop stop) {
    std::string text = say(W::summary, {std::to_string(results.size())}) + "\n";
    if (stop.job) {
        text += "  " + plan::job_words(*stop.job) + "\n";
    }
    const plan::Tally t = plan::tally(results);
    for (std::size_t i = 0; i < kOutcomeLabels.size(); ++i) {
        const auto outcome = static_cast<Outcome>(i);
        const int count = t.of(outcome);
        const bool rare = outcome == Outcome::unconfirmed || outcome == Outcome::not_sent;
        if (!rare || count > 0) {
            text += "  " + padded(label(outcome)) + "  " + std::to_string(count) +
                    line_ranges(results, outcome) + "\n";
        }
    }
    if (stop.signo != 0) {
        text +=
            say(stop.at_once ? W::stopped_at_once : W::stopped_after, {signal_name(stop.signo)}) +
            "\n";
    }
    return text;
}

std::string progress_text(std::size_t index, std::size_t total, const StepResult& r) {
    return "[" + std::to_string(index + 1) + "/" + std::to_string(total) + "] " + where(r.step) +
           " · " + protocol::describe(r.step.request) + " …";
}

}  // namespace tarvok::cli
