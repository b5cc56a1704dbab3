// Where tarvokctl's words go: results and remarks on standard output (with --json,
// one JSON object per setting there and every other word on standard error), a
// progress line while a terminal watches, and a record of any write that failed, so
// that a full disk or a closed pipe is said and ends the run with exit 74.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cli/job_keeper.h"
#include "cli/progress_line.h"
#include "cli/result_words.h"
#include "plan/runner.h"

namespace tarvok::cli {

// Writes to a stream; the first failure is remembered, never silently lost.
class Output {
public:
    void out(const std::string& text) { write(stdout, text); }
    void err(const std::string& text) { write(stderr, text); }
    bool failed() const { return failed_; }

private:
    void write(FILE* stream, const std::string& text);
    bool failed_ = false;
};

class Console : public plan::RunListener {
public:
    // `plan`: a summary follows the results.
    Console(bool json, bool plan, bool follow);

    void set_results(const std::vector<plan::StepResult>* results) { results_ = results; }
    void set_end(std::function<void(plan::RunEnd)> end) { end_ = std::move(end); }
    void set_keeper(JobKeeper* keeper) { keeper_ = keeper; }

    void step_started(std::size_t index, std::size_t total) override;
    void step_finished(const plan::StepResult& result) override;
    void remarked(const plan::Remark& remark) override;
    void run_finished(plan::RunEnd end) override;

    // A sentence of tarvokctl's own, on standard error: "tarvokctl：…" ("tarvokctl: …").
    void say(const std::string& text);
    // Settings never reached are listed with --json; the summary follows a plan.
    void finish(RunStop stop);
    Output& output() { return output_; }

private:
    void words(const std::string& text);

    bool json_;
    bool plan_;
    bool follow_;
    ProgressLine progress_;
    std::size_t shown_ = 0;  // results already written, from the first
    Output output_;
    const std::vector<plan::StepResult>* results_ = nullptr;
    std::function<void(plan::RunEnd)> end_;
    JobKeeper* keeper_ = nullptr;
};

}  // namespace tarvok::cli
