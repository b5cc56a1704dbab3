// One row of a plan, checked by the rules the plan reader uses, so a table editor can
// check each row as it is typed and a file reads the same as the table showed it.
//
// - address: 0 to 255, digits only.
// - setting: mode, power-on, line, or 关联方式, 上电状态, 通讯参数.
// - channel: 1 to 32, 第3路 (blanks inside allowed), all, 全部, or a range such as
//   1-8 or 第1-8路, which makes one step per channel, in order. Empty for a line
//   setting; for the others it may instead stand first in the value.
// - value: the mode or power-on state, or the baud rate and parity of a line setting,
//   words separated by blanks, commas or '/'.
// - line: the line the module listens at, "19200/偶校验", "19200 even" or "9600" (no
//   parity); empty for the run's own line.
// - remark: any text up to kRemarkCharacters characters, kept with each step.
// Full-width forms count as their ASCII letters, digits and signs ("５" is 5) in every
// cell but the remark.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "plan/plan.h"

namespace tarvok::plan {

inline constexpr std::size_t kRemarkCharacters = 100;

struct PlanRow {
    std::string address;
    std::string setting;
    std::string channel;
    std::string value;
    std::string remark;
    std::string line;
};

// A row's steps, or every fault it has, in the order address, setting, channel and
// value, line, remark; each names its cell. A file tells a row's first fault.
struct RowCheck {
    std::vector<PlanStep> steps;
    std::vector<PlanError> faults;
    bool ok() const { return faults.empty(); }
};

// `line` is the line in its file, 0 for a row of a table; it goes into every step
// and fault.
RowCheck check_row(const PlanRow& row, int line = 0);

// A blank around a cell or a field: space, tab, or the CR of a CR LF line end.
inline bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The text without the blanks (spaces, tabs, CR) around it.
std::string trimmed(std::string_view text);

// The text with full-width ASCII forms (U+FF01 to U+FF5E) and the ideographic space
// turned into their ASCII characters.
std::string narrowed(std::string_view text);

}  // namespace tarvok::plan
