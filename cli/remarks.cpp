#include "cli/remarks.h"

#include <cmath>

#include "protocol/reply.h"
#include "protocol/request.h"

namespace tarvok::cli {

namespace {

std::string where(const PlanStep& step) {
    const std::string address = "地址 " + std::to_string(step.address);
    return step.line == 0 ? address : "第 " + std::to_string(step.line) + " 行 · " + address;
}

// "22 05 44 00 00 00 01 6C（地址 5 关联方式）".
std::string reply_words(const bus::Note& note) {
    if (note.bytes.size() != protocol::kFrameSize) {
        return protocol::hex(note.bytes);
    }
    const auto frame = protocol::frame_from(note.bytes);
    const auto name = protocol::name_in(protocol::kCommands,
                                        static_cast<protocol::Command>(frame[protocol::kCodeByte]));
    return protocol::hex(frame) + "（地址 " + std::to_string(frame[protocol::kAddressByte]) + " " +
           (name.empty() ? std::string("未知命令") : std::string(name)) + "）";
}

int rounded_ms(bus::Micros span) { return static_cast<int>((span.count() + 500) / 1000); }

}  // namespace

std::optional<std::string> remark_text(const bus::Note& note, const StepResult& about) {
    using Kind = bus::Note::Kind;
    switch (note.kind) {
    case Kind::late:
        return std::string(protocol::late_words(rounded_ms(note.after))) + " " + reply_words(note) +
               " · 对" + where(about.step) + "，此时已另有发送，不计入任何一项";
    case Kind::duplicate:
        return std::string(protocol::kDuplicateWords) + "：" + reply_words(note) + " · " +
               where(about.step);
    case Kind::unmatched:
        return "收到不属于" + where(about.step) + "的回复 " + reply_words(note) + "，不计入";
    case Kind::garbled_echo:
        return std::string(protocol::kGarbledEchoWords) + "：" + protocol::hex(note.bytes) + " · " +
               where(about.step);
    case Kind::sent:
    case Kind::echo:
    case Kind::junk:
    case Kind::deadline:
        break;
    }
    return std::nullopt;
}

std::string late_advice(const StepResult& r) {
    const long needed = std::lround(r.reply_ms * 2);
    return "回复迟到（" + std::to_string(std::lround(r.reply_ms)) + " ms，期限 " +
           std::to_string(r.wait_ms) + " ms）：可加大 --timeout，例如 --timeout " +
           std::to_string(needed);
}

}  // namespace tarvok::cli
