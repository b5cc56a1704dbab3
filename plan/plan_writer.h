// Steps back into a plan file, the window's batch table saved: CSV in UTF-8 with a
// byte-order mark (so spreadsheets read the Chinese right) and CR LF line ends, a
// header and one row a step, columns 地址,设置,通道,值,线路,备注 or
// address,setting,channel,value,line,note. The plan reader reads it back to the same
// steps, each on its own row (a remark's line breaks become blanks: a row is one line).
#pragma once

#include <span>
#include <string>

#include "plan/plan.h"

namespace tarvok::plan {

// Chinese writes the window's words (关联方式, 第3路, 自锁), English the aliases
// (mode, 3, self-lock); the reader takes either.
enum class PlanLanguage { chinese, english };

std::string write_plan(std::span<const PlanStep> steps, PlanLanguage language);

}  // namespace tarvok::plan
