// What tarvokctl says of what it met on the line besides results: late and second
// replies, replies for something else, garbled echoes, bytes dropped, what a module
// showed of its replies.
#include <string>

#include "cli/cli_words.h"
#include "cli/result_words.h"
#include "protocol/protocol_words.h"
#include "protocol/reply.h"
#include "protocol/request.h"

namespace tarvok::cli {

namespace {

using W = CliWord;

// "22 05 44 00 00 00 01 6C（地址 5 关联方式 · 成功）".
std::string reply_words(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() != protocol::kFrameSize) {
        return protocol::hex(bytes);
    }
    const auto frame = protocol::frame_from(bytes);
    const auto name = protocol::shown_in(
        protocol::kCommands, static_cast<protocol::Command>(frame[protocol::kCodeByte]));
    return say(W::reply_about,
               {protocol::hex(frame), std::to_string(frame[protocol::kAddressByte]),
                name.empty() ? protocol::word(protocol::ProtocolWord::unknown_command) : name,
                protocol::describe(protocol::judge(frame), frame)});
}

int rounded_ms(bus::Micros span) { return static_cast<int>((span.count() + 500) / 1000); }

std::string learned_words(const plan::Remark& r) {
    std::string shown;
    const auto add = [&shown](const std::string& what) {
        shown += (shown.empty() ? std::string() : std::string(word(W::learned_separator))) + what;
    };
    if (r.learned.slow) {
        add(say(W::slow, {std::to_string(rounded_ms(r.evidence.slowest)),
                          std::to_string(rounded_ms(r.timing.deadline))}));
    }
    if (r.learned.copies && r.evidence.copy_after) {
        add(say(W::copies, {std::to_string(rounded_ms(*r.evidence.copy_after))}));
    }
    if (r.learned.retried) {
        add(std::string(word(W::retried)));
    }
    return say(W::learned, {std::to_string(r.address), shown});
}

}  // namespace

std::optional<std::string> remark_line(const plan::Remark& r, const plan::StepResult* about) {
    const std::string whose = about != nullptr ? where(about->step) : std::string(word(W::the_run));
    switch (r.kind) {
    case plan::Remark::Kind::late:
        return say(W::late_remark,
                   {protocol::late_words(rounded_ms(r.after)), reply_words(r.bytes), whose});
    case plan::Remark::Kind::duplicate:
        return say(W::labelled, {protocol::duplicate_words(), reply_words(r.bytes), whose});
    case plan::Remark::Kind::unmatched:
        return say(W::unmatched_remark, {whose, reply_words(r.bytes), protocol::unmatched_words()});
    case plan::Remark::Kind::garbled_echo:
        return say(W::labelled, {protocol::garbled_echo_words(), protocol::hex(r.bytes), whose});
    case plan::Remark::Kind::discarded:
        return say(W::discarded, {std::to_string(r.bytes.size()), shown_bytes(r.bytes)});
    case plan::Remark::Kind::learned:
        return learned_words(r);
    }
    return std::nullopt;
}

}  // namespace tarvok::cli
