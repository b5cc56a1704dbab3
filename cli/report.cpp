#include "cli/report.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli/json_line.h"
#include "cli/remarks.h"

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace tarvok::cli {

namespace {

// Received bytes shown in a line, at most; a flood would say nothing more.
constexpr std::size_t kShownBytes = 24;

std::string text_of(std::string_view text) { return std::string(text); }

std::string where(const PlanStep& step) {
    const std::string address = "地址 " + std::to_string(step.address) + " · ";
    return step.line == 0 ? address : "第 " + std::to_string(step.line) + " 行 · " + address;
}

std::string shown_bytes(const std::vector<std::uint8_t>& bytes) {
    const std::size_t shown = std::min(bytes.size(), kShownBytes);
    return protocol::hex(std::span(bytes).first(shown)) + (shown < bytes.size() ? " …" : "");
}

std::string outcome_detail(const StepResult& r) {
    std::string name = text_of(protocol::name_in(kOutcomes, r.outcome));
    switch (r.outcome) {
    case Outcome::done:
        return name + "（" + QString::number(r.milliseconds, 'f', 1).toStdString() + " ms）";
    case Outcome::refused:
        return name + "（应答的状态位为 0，未重发）";
    case Outcome::no_reply: {
        if (r.cut_off) {
            return name;  // the note says why
        }
        std::string text = name + "（发送 " + std::to_string(r.attempts) + " 次，每次等待 " +
                           std::to_string(r.wait_ms) + " ms";
        if (!r.received.empty()) {
            text += "；收到 " + std::to_string(r.received.size()) + " 字节，不是有效应答：" +
                    shown_bytes(r.received);
        }
        return text + "）";
    }
    case Outcome::not_sent:
        break;
    }
    return name;
}

// "第 2–9、12 行" for the plan lines of the results that ended in `outcome`; a range
// only over lines that follow one another in the plan.
std::string line_ranges(std::span<const StepResult> results, Outcome outcome) {
    std::vector<int> lines;
    for (const auto& r : results) {
        if (r.outcome == outcome) {
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

std::string label_of(std::string_view name) {
    std::size_t columns = 0;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        columns += byte < 0x80 ? 1 : (byte >= 0xC0 ? 2 : 0);
    }
    return std::string(name) + std::string(kLabelColumns - std::min(columns, kLabelColumns), ' ');
}

}  // namespace

std::string result_line(const StepResult& r) {
    std::string line =
        where(r.step) + protocol::describe(r.step.request) + " → " + outcome_detail(r);
    if (r.reply && !r.echoed) {
        line += " · " + text_of(kMismatchWarning);
    }
    if (r.late) {
        line += " · " + late_advice(r);
    }
    if (r.busy) {
        line += " · 线路上一直有数据，无法判断应答：请检查是否有别的主机或设备在发送";
    }
    if (!r.note.empty()) {
        line += " · " + r.note;
    }
    return line;
}

std::string summary_text(std::span<const StepResult> results) {
    std::string text = "汇总：共 " + std::to_string(results.size()) + " 项\n";
    for (const auto& [outcome, name, alias] : kOutcomes) {
        const auto count = std::count_if(results.begin(), results.end(),
                                         [o = outcome](const auto& r) { return r.outcome == o; });
        if (outcome != Outcome::not_sent || count > 0) {
            text += "  " + label_of(name) + "  " + std::to_string(count) +
                    line_ranges(results, outcome) + "\n";
        }
    }
    return text;
}

Console::Console(bool json, bool plan)
    : json_(json), plan_(plan), terminal_(::isatty(fileno(stdout)) != 0) {}

void Console::write(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void Console::clear_progress() {
    if (progress_shown_) {
        write("\r\033[K");
        progress_shown_ = false;
    }
}

void Console::started(std::size_t index, std::size_t total, const StepResult& r) {
    if (!terminal_) {
        return;
    }
    clear_progress();
    std::string line = "[";
    line += std::to_string(index + 1);
    line += '/';
    line += std::to_string(total);
    line += "] ";
    write(line + where(r.step) + protocol::describe(r.step.request) + " …");
    progress_shown_ = true;
}

void Console::finished_one(const StepResult& r) {
    clear_progress();
    write(json_ ? json_line(r) : result_line(r) + "\n");
}

void Console::remark(const std::string& text) {
    clear_progress();
    if (json_) {
        std::fprintf(stderr, "tarvokctl：%s\n", text.c_str());
    } else {
        write(text + "\n");
    }
}

void Console::finished_all(std::span<const StepResult> results, const QString& failure) {
    clear_progress();
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "tarvokctl：%s\n", failure.toUtf8().constData());
    }
    if (json_) {
        for (const auto& r : results) {
            if (r.outcome == Outcome::not_sent) {
                write(json_line(r));
            }
        }
    }
    // With --json standard output stays one object per line; people still see the
    // summary on standard error.
    if (plan_) {
        const std::string summary = summary_text(results);
        std::fwrite(summary.data(), 1, summary.size(), json_ ? stderr : stdout);
        std::fflush(json_ ? stderr : stdout);
    }
}

}  // namespace tarvok::cli
