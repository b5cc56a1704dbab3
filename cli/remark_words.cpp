// What tarvokctl says of what it met on the line besides results: late and second
// replies, replies for something else, garbled echoes, bytes dropped, what a module
// showed of its replies.
#include <string>

#include "cli/result_words.h"
#include "protocol/reply.h"
#include "protocol/request.h"

namespace tarvok::cli {

namespace {

// "22 05 44 00 00 00 01 6C（地址 5 关联方式 · 成功）".
std::string reply_words(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() != protocol::kFrameSize) {
        return protocol::hex(bytes);
    }
    const auto frame = protocol::frame_from(bytes);
    const auto name = protocol::name_in(protocol::kCommands,
                                        static_cast<protocol::Command>(frame[protocol::kCodeByte]));
    return protocol::hex(frame) + "（地址 " + std::to_string(frame[protocol::kAddressByte]) + " " +
           (name.empty() ? std::string("未知命令") : std::string(name)) + " · " +
           protocol::describe(protocol::judge(frame), frame) + "）";
}

int rounded_ms(bus::Micros span) { return static_cast<int>((span.count() + 500) / 1000); }

std::string learned_words(const plan::Remark& r) {
    std::string shown;
    const auto add = [&shown](const std::string& what) {
        shown += (shown.empty() ? "" : "；") + what;
    };
    if (r.learned.slow) {
        add("回复较慢（最慢 " + std::to_string(rounded_ms(r.evidence.slowest)) +
            " ms），此后等它应答最多 " + std::to_string(rounded_ms(r.timing.deadline)) + " ms");
    }
    if (r.learned.copies && r.evidence.copy_after) {
        add("同一帧回复了两次（相隔 " + std::to_string(rounded_ms(*r.evidence.copy_after)) +
            " ms，可能有两个模块使用同一地址），此后它的第二个回复过去之前，不再向它发同一命令");
    }
    if (r.learned.retried) {
        add("重发后才应答，此后另一次发送的回复过去之前不再向它发送");
    }
    return "注意：地址 " + std::to_string(r.address) + " " + shown +
           "，以免把它迟到或多余的回复算到别的设置上";
}

}  // namespace

std::optional<std::string> remark_line(const plan::Remark& r, const plan::StepResult* about) {
    const std::string whose = about != nullptr ? where(about->step) : std::string("运行");
    switch (r.kind) {
    case plan::Remark::Kind::late:
        return protocol::late_words(rounded_ms(r.after)) + " " + reply_words(r.bytes) + " · 对" +
               whose + "，此时已另有发送，不计入任何一项";
    case plan::Remark::Kind::duplicate:
        return std::string(protocol::duplicate_words()) + "：" + reply_words(r.bytes) + " · " +
               whose;
    case plan::Remark::Kind::unmatched:
        return "收到不属于" + whose + "的回复 " + reply_words(r.bytes) + "，" +
               std::string(protocol::unmatched_words()) + "，不计入";
    case plan::Remark::Kind::garbled_echo:
        return std::string(protocol::garbled_echo_words()) + "：" + protocol::hex(r.bytes) + " · " +
               whose;
    case plan::Remark::Kind::discarded:
        return "发送前线路上已有 " + std::to_string(r.bytes.size()) + " 字节，已丢弃：" +
               shown_bytes(r.bytes);
    case plan::Remark::Kind::learned:
        return learned_words(r);
    }
    return std::nullopt;
}

}  // namespace tarvok::cli
