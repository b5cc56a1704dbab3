// What tarvokctl says of a run, in words: a line per setting, a line per remark, and
// the summary. Made from the runner's facts where they are shown.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plan/job_record.h"
#include "plan/step_result.h"

namespace tarvok::cli {

// How a run ended besides its results, for the summary.
struct RunStop {
    int signo = 0;         // the signal that stopped it; 0: none
    bool at_once = false;  // a second signal ended it without waiting for the reply in flight
    std::optional<plan::JobFacts> job;  // when and where it ran
};

// The columns a terminal gives UTF-8 text: a character beyond ASCII (here always
// Chinese) two.
std::size_t columns(std::string_view text);

// "第 3 行 · 地址 5 · 第3路 关联方式 自锁 → 成功（4.2 ms）"; no line part for line 0.
std::string result_line(const plan::StepResult& result, bool follow);
// A line of its own about something met on the line; `about` is the setting whose
// exchange it was met in.
std::optional<std::string> remark_line(const plan::Remark& remark, const plan::StepResult* about);
// How many settings ended each way and which plan lines they are.
std::string summary_text(std::span<const plan::StepResult> results, RunStop stop);
// "第 3 行 · 地址 5", or "地址 5" for a setting given on the command line.
std::string where(const plan::PlanStep& step);
// At most 24 bytes in hex, then "…".
std::string shown_bytes(const std::vector<std::uint8_t>& bytes);

// "[3/32] 第 4 行 · 地址 5 · 第3路 关联方式 自锁 …", for the progress line.
std::string progress_text(std::size_t index, std::size_t total, const plan::StepResult& result);

}  // namespace tarvok::cli
