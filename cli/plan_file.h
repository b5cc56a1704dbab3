// Reads a plan file, or standard input, into a PlanReader and tells each fault on
// standard error as soon as it is found: standard input piece by piece, so a plan from
// an endless pipe ends at a limit with its first bad line already on the screen; a
// file that holds still whole (up to the byte limit), so its encoding is judged from
// all of it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plan/plan.h"

namespace tarvok::cli {

// The plan's settings; nothing when it may not run, the reasons already told.
// `verbose` names the encoding read even when it is UTF-8.
std::optional<std::vector<plan::PlanStep>> read_plan_file(const std::string& path, bool verbose);

}  // namespace tarvok::cli
