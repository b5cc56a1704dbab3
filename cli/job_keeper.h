// What a run's job record needs besides the results (plan/job_record.h): when the run
// began and ended, its port, device and line, when each result came and what its
// exchange met afterwards. It names the job in the summary, and writes the record
// for --record.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "plan/job_record.h"

namespace tarvok::cli {

class JobKeeper {
public:
    // `clock` gives the local date and time as plan/job_record.h writes it.
    JobKeeper(int port, std::string device, const protocol::LineSetting& line,
              std::function<std::string()> clock);

    void finished(const plan::StepResult& result);
    void remarked(const plan::Remark& remark);
    // The facts with the end stamped now.
    const plan::JobFacts& end();
    // Writes the record of `results` to `path`; the sentence for standard error when
    // it could not be written.
    std::optional<std::string> write(const std::string& path,
                                     std::span<const plan::StepResult> results) const;

private:
    std::function<std::string()> clock_;
    plan::JobFacts job_;
    std::vector<std::string> times_;  // one per result so far, in plan order
    std::vector<std::string> notes_;
};

}  // namespace tarvok::cli
