// Steps back into a plan file, the window's batch table saved: CSV in UTF-8 with a
// byte-order mark (so spreadsheets read the Chinese right) and CR LF line ends, a
// header and one row a step, columns 地址,设置,通道,值,线路,备注 or
// address,setting,channel,value,line,note. The plan reader reads it back to the same
// steps, each on its own row (a cell's line breaks become blanks: a row is one line).
// A table's rows go out as typed, so a row still to be mended is kept as it stands.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "plan/plan.h"
#include "plan/row_check.h"
#include "words/csv.h"

namespace tarvok::plan {

// Chinese writes the window's words (关联方式, 第3路, 自锁), English the aliases
// (mode, 3, self-lock); the reader takes either.
enum class PlanLanguage { chinese, english };

// A step's cells as the writer puts them: check_row() makes the step of them again.
PlanRow row_cells(const PlanStep& step, PlanLanguage language);

std::string write_plan(std::span<const PlanStep> steps, PlanLanguage language);
std::string write_rows(std::span<const PlanRow> rows, PlanLanguage language);

// A plan is written as words/csv.h writes every CSV file.
using words::csv_field;
using words::kUtf8Mark;

}  // namespace tarvok::plan
