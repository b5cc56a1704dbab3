#include "plan/run_words.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "protocol/reply.h"

namespace tarvok::plan {

namespace {

// In Outcome's order.
constexpr std::array<std::string_view, 5> kOutcomeWords = {"成功", "失败", "无应答", "未确认",
                                                           "未发送"};

int rounded(double ms) { return static_cast<int>(std::lround(ms)); }
int rounded(bus::Micros span) { return static_cast<int>((span.count() + 500) / 1000); }

std::string unsent_note(Unsent why) {
    switch (why) {
    case Unsent::stopped:
        return "运行已停止";
    case Unsent::port_lost:
        return "串口已断开";
    case Unsent::line_fault:
        return "串口出错";
    case Unsent::line_busy:
        return "线路上一直有数据，等不到安静的时机发送：请检查是否有别的主机或设备在发送";
    case Unsent::write_failed:
        return "串口拒绝写入";
    case Unsent::none:
        break;
    }
    return {};
}

std::string doubt_note(const StepResult& r) {
    switch (r.doubt) {
    case Doubt::leftover:
        return "收到的回复可能是对先前同一地址、同一命令的帧迟到或重复的回复，无法证明是本项的；"
               "请查看模块状态，必要时单独再发本项";
    case Doubt::line_unproven:
        return "模块应答了修改，但按 " + line_text(*r.moved_to) + " 没有应答：它可能仍按 " +
               line_text(r.line) + " 收发，也可能已改；可用扫描总线的“全部”找它";
    case Doubt::stopped_unproven:
        return "模块应答了修改，运行停止前没来得及按 " + line_text(*r.moved_to) + " 确认";
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
        return "模块应答的状态位为 0，未执行，未重发";
    case Outcome::no_reply: {
        if (r.cut_off) {
            return "等待应答时串口断开";
        }
        std::string text = "发送 " + std::to_string(r.attempts) + " 次，每次等待 " +
                           std::to_string(r.wait_ms) + " ms，没有有效应答";
        if (!r.received.empty()) {
            text += "（收到 " + std::to_string(r.received.size()) + " 字节，不是有效应答）";
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
        return "模块可能已经按 " + line_text(*r.maybe_at) + " 运行（也许只是回复丢失）";
    }
    if (r.proven) {
        return "模块已按 " + line_text(*r.moved_to) + " 应答，此后按它与地址 " +
               std::to_string(r.step.address) + " 通讯";
    }
    if (r.module_moved_to && r.outcome != Outcome::not_sent) {
        return "地址 " + std::to_string(r.step.address) + " 已改为 " +
               line_text(*r.module_moved_to) + "，本项仍按 " + line_text(r.line) + " 发送";
    }
    return {};
}

std::string reply_of(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() == protocol::kFrameSize ? " " + protocol::hex(bytes) : std::string();
}

}  // namespace

std::string_view outcome_word(Outcome outcome) {
    return kOutcomeWords.at(static_cast<std::size_t>(outcome));
}

std::string line_text(const protocol::LineSetting& line) {
    return std::to_string(line.baud) + " " +
           std::string(protocol::name_in(protocol::kParities, line.parity));
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
            note += (note.empty() ? "" : "；") + part;
        }
    };
    add(outcome_note(r));
    if (r.reply && !r.echoed) {
        add(std::string(protocol::mismatch_words()));
    }
    if (r.late && r.outcome != Outcome::unconfirmed) {
        add(protocol::late_words(rounded(r.reply_ms)) + "，期限 " + std::to_string(r.wait_ms) +
            " ms");
    }
    if (r.duplicates > 0) {
        add(std::string(protocol::duplicate_words()) + "（" + std::to_string(r.duplicates) +
            " 个）");
    }
    if (r.busy && r.reply) {
        add("线路上一直有数据，无法判断应答：请检查是否有别的主机或设备在发送");
    }
    add(line_note(r));
    return note;
}

std::string remark_note(const Remark& r) {
    switch (r.kind) {
    case Remark::Kind::late:
        return protocol::late_words(rounded(r.after)) + reply_of(r.bytes) +
               "，此时已另有发送，不计入";
    case Remark::Kind::duplicate:
        return std::string(protocol::duplicate_words()) + reply_of(r.bytes);
    case Remark::Kind::unmatched:
        return "收到不属于本项的回复" + reply_of(r.bytes) + "，" +
               std::string(protocol::unmatched_words()) + "，不计入";
    case Remark::Kind::garbled_echo:
        return std::string(protocol::garbled_echo_words());
    case Remark::Kind::discarded:
    case Remark::Kind::learned:
        break;
    }
    return {};
}

}  // namespace tarvok::plan
