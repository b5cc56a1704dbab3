// A plan file: settings for many modules, run in order. CSV in UTF-8:
//
//   # cabinet 3, left door
//   address,setting,arguments
//   5,mode,3,自锁
//   5,power-on,all,上电记忆
//   6,line,19200,偶校验
//
// The first line that is not blank or a comment is the header, exactly
// "address,setting,arguments". Every later line is a module address (0 to 255), a
// setting name (mode, power-on, line, or 关联方式, 上电状态, 通讯参数) and its
// arguments, in fields of their own or separated by blanks within one field.
// '#' starts a comment anywhere; blanks around fields, a byte-order mark, CR line
// ends and empty trailing fields (as spreadsheets export them) are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "protocol/request.h"

namespace tarvok::cli {

struct PlanStep {
    int line = 0;  // 1-based line in the plan file; 0 for a setting given on the command line
    std::uint8_t address = 0;
    protocol::Request request;
    friend bool operator==(const PlanStep&, const PlanStep&) = default;
};

struct PlanError {
    int line = 0;         // 0 when the fault is the file as a whole
    std::string message;  // Chinese, starting with the line: "第 4 行：…"
    friend bool operator==(const PlanError&, const PlanError&) = default;
};

using ParsedPlan = std::variant<std::vector<PlanStep>, PlanError>;

// Every line is checked before anything is returned; the first bad line is the error.
ParsedPlan parse_plan(std::string_view text);

}  // namespace tarvok::cli
