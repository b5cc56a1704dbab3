#include "cli/result_words.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <vector>

#include "protocol/reply.h"
#include "protocol/request.h"

namespace tarvok::cli {

namespace {

using plan::Outcome;
using plan::StepResult;
using protocol::line_words;

// Received bytes shown in a line, at most; a flood would say nothing more.
constexpr std::size_t kShownBytes = 24;

// In Outcome's order: the summary's labels and the result lines' words.
constexpr std::array<std::string_view, 5> kOutcomeLabels = {"成功", "模块拒绝", "无应答", "未确认",
                                                            "未发送"};

std::string_view label(Outcome outcome) {
    return kOutcomeLabels.at(static_cast<std::size_t>(outcome));
}

}  // namespace

std::string where(const plan::PlanStep& step) {
    const std::string address = "地址 " + std::to_string(step.address);
    return step.line == 0 ? address : "第 " + std::to_string(step.line) + " 行 · " + address;
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
        return "（运行已停止）";
    case plan::Unsent::port_lost:
        return "（串口已断开）";
    case plan::Unsent::line_fault:
        return "（串口出错）";
    case plan::Unsent::line_busy:
        return "（" + std::string(protocol::busy_words()) + "，等不到安静的时机发送）";
    case plan::Unsent::write_failed:
        return "（串口拒绝写入）";
    case plan::Unsent::none:
        break;
    }
    return {};
}

std::string doubt_words(const StepResult& r) {
    const std::string address = std::to_string(r.step.address);
    switch (r.doubt) {
    case plan::Doubt::leftover:
        return "（收到的回复可能是对先前同一地址、同一命令的帧迟到或重复的回复，无法证明是本项的；"
               "请查看模块状态，必要时单独再发本项）";
    case plan::Doubt::line_unproven:
        return "（模块应答了修改，但按 " + line_words(*r.moved_to) + " 没有应答：它可能仍按 " +
               line_words(r.line) +
               " 收发，也可能已改；用 tarvokctl scan --baud all --parity all "
               "--addresses " +
               address + " 找它）";
    case plan::Doubt::stopped_unproven:
        return "（模块应答了修改，运行停止前没来得及按 " + line_words(*r.moved_to) + " 确认）";
    case plan::Doubt::none:
        break;
    }
    return {};
}

std::string outcome_detail(const StepResult& r) {
    const std::string name(label(r.outcome));
    switch (r.outcome) {
    case Outcome::done:
        return name + "（" + ms_text(r.milliseconds) + " ms）";
    case Outcome::refused:
        return name + "（应答的状态位为 0，未重发）";
    case Outcome::no_reply: {
        if (r.cut_off) {
            return name + (r.unsent == plan::Unsent::stopped ? " · 等待应答时运行被立即停止"
                                                             : " · 等待应答时串口断开");
        }
        std::string text = name + "（发送 " + std::to_string(r.attempts) + " 次，每次等待 " +
                           std::to_string(r.wait_ms) + " ms";
        if (!r.received.empty()) {
            text += "；收到 " + std::to_string(r.received.size()) + " 字节，不是有效应答：" +
                    shown_bytes(r.received);
        }
        return text + "）";
    }
    case Outcome::unconfirmed:
        return name + doubt_words(r);
    case Outcome::not_sent:
        return name + unsent_words(r.unsent);
    }
    return name;
}

std::string late_advice(const StepResult& r) {
    return protocol::late_words(static_cast<int>(std::lround(r.reply_ms))) + "，期限 " +
           std::to_string(r.wait_ms) + " ms：可加大 --timeout，例如 --timeout " +
           std::to_string(std::lround(r.reply_ms * 2));
}

std::string line_change_words(const StepResult& r, bool follow) {
    const std::string address = std::to_string(r.step.address);
    if (r.maybe_at && r.outcome == Outcome::no_reply && !r.module_moved_to) {
        return "模块可能已经按 " + line_words(*r.maybe_at) + " 运行（也许只是回复丢失）：用 " +
               line_options(*r.maybe_at) + " 再发一次任意设置即可确认";
    }
    if (!r.proven) {
        return {};
    }
    const std::string now = line_words(*r.moved_to);
    if (follow) {
        return "模块已按 " + now + " 应答，此后按它与地址 " + address + " 通讯";
    }
    return "模块已按 " + now + " 应答，此后按它收发；" +
           (r.later_need_line
                ? "之后发给地址 " + address + " 的设置需要新的波特率：加 --follow，或另用 " +
                      line_options(*r.moved_to)
                : "以后发给它的设置请用 " + line_options(*r.moved_to));
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
        text += (text.empty() ? "" : "、") + std::to_string(lines[i]);
        if (last > i) {
            text += "–" + std::to_string(lines[last]);
        }
        i = last;
    }
    return text.empty() ? text : "  第 " + text + " 行";
}

// Labels line up on a terminal that shows a character beyond ASCII (here always
// Chinese) two columns wide.
constexpr std::size_t kLabelColumns = 8;

std::string padded(std::string_view name) {
    std::size_t columns = 0;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        columns += byte < 0x80 ? 1 : (byte >= 0xC0 ? 2 : 0);
    }
    return std::string(name) + std::string(kLabelColumns - std::min(columns, kLabelColumns), ' ');
}

std::string signal_name(int signo) {
    switch (signo) {
    case SIGINT:
        return "Ctrl-C（SIGINT）";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "信号 " + std::to_string(signo);
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
        add(std::string(protocol::echo_words()) + " " + std::to_string(r.echoes) + " 次");
    }
    if (r.module_moved_to && r.outcome != Outcome::not_sent) {
        add("地址 " + std::to_string(r.step.address) + " 已改为 " + line_words(*r.module_moved_to) +
            "，本项仍按 " + line_words(r.line) + " 发送");
    }
    add(line_change_words(r, follow));
    return line;
}

std::string summary_text(std::span<const StepResult> results, RunStop stop) {
    std::string text = "汇总：共 " + std::to_string(results.size()) + " 项\n";
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
        const std::string name = signal_name(stop.signo);
        text += "已被 " + name + (name.ends_with("）") ? "" : " ") +
                (stop.at_once ? "停止，再次收到信号后立即结束，进行中的一项没有等到回复\n"
                              : "停止：进行中的一项结束后没有再发送任何帧\n");
    }
    return text;
}

std::string progress_text(std::size_t index, std::size_t total, const StepResult& r) {
    return "[" + std::to_string(index + 1) + "/" + std::to_string(total) + "] " + where(r.step) +
           " · " + protocol::describe(r.step.request) + " …";
}

}  // namespace tarvok::cli
