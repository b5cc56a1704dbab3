// What tarvokctl prints: a line per setting (Chinese, or one JSON object with
// --json), a progress line while a terminal watches, and a summary after a plan.
#pragma once

#include <QString>

#include <cstddef>
#include <span>
#include <string>

#include "cli/outcome.h"

namespace tarvok::cli {

// "第 3 行 · 地址 5 · 第3路 关联方式 自锁 → 成功（4 ms）"; no line part for line 0.
std::string result_line(const StepResult& result);
// How many settings ended each way and which plan lines they are.
std::string summary_text(std::span<const StepResult> results);

class Console {
public:
    // `plan`: a summary follows the results. The progress line shows only when
    // standard output is a terminal.
    Console(bool json, bool plan);

    void started(std::size_t index, std::size_t total, const StepResult& result);
    void finished_one(const StepResult& result);
    // A line of its own about the line: on standard output, or standard error with
    // --json so that standard output stays one object per setting.
    void remark(const std::string& text);
    // The port's failure goes to standard error; settings never reached are listed
    // with --json, counted in the summary otherwise.
    void finished_all(std::span<const StepResult> results, const QString& failure);

private:
    void write(const std::string& text);
    void clear_progress();

    bool json_;
    bool plan_;
    bool terminal_;
    bool progress_shown_ = false;
};

}  // namespace tarvok::cli
