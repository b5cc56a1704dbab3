// A plan file: settings for many modules, run in order. CSV with a header:
//
//   # cabinet 3, left door
//   address,setting,arguments
//   5,mode,3,自锁
//   "5","power-on","all","上电记忆"
//   6,line,19200,偶校验
//
// The first line that is not blank or a comment is the header
// "address,setting,arguments" (in any case). Every later line is a module address
// (0 to 255, digits only), a setting name (mode, power-on, line, or 关联方式, 上电状态,
// 通讯参数) and its arguments, in fields of their own or separated by blanks within
// one field. Fields may be quoted as spreadsheets write them ("a ""b""" is a "b"),
// but a quote must close on its own line. '#' outside quotes starts a comment; blanks
// around fields and empty trailing fields are ignored. This takes lines already
// decoded to UTF-8 (plan/plan_input.h reads the bytes).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/request.h"

namespace tarvok::plan {

struct PlanStep {
    int line = 0;  // 1-based line in the plan file; 0 for a setting given on the command line
    std::uint8_t address = 0;
    protocol::Request request;
    friend bool operator==(const PlanStep&, const PlanStep&) = default;
};

struct PlanError {
    int line = 0;         // 0 when the fault is the file as a whole
    std::string message;  // Chinese, starting with the line when there is one: "第 4 行：…"
    friend bool operator==(const PlanError&, const PlanError&) = default;
};

// Faults listed one by one; past these only their number is told.
inline constexpr int kShownErrors = 20;

// What a plan file holds. It may run only when ok(): nothing is sent otherwise.
struct Plan {
    std::vector<PlanStep> steps;
    std::vector<PlanError> errors;     // the first kShownErrors faults, in line order
    int more_errors = 0;               // faults past those
    std::optional<PlanError> stopped;  // why reading ended before the end of the input
    bool ok() const { return errors.empty() && !stopped; }
    friend bool operator==(const Plan&, const Plan&) = default;
};

// Checks a plan line after line, so no more than one line is ever held as text.
class PlanCheck {
public:
    // One line as UTF-8 text without its line end; lines count from 1.
    void take(int line, std::string_view text);
    // A fault found before the text: a line in no known encoding.
    void fail(int line, std::string message);
    // Why reading ended before the end of the input; told after every other fault.
    void stop(PlanError reason);
    // The end of the input: a plan without any setting is a fault of its own.
    void finish();
    const Plan& plan() const { return plan_; }

private:
    Plan plan_;
    bool header_seen_ = false;
};

}  // namespace tarvok::plan
