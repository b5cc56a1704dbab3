// Reads a plan file, or standard input, piece by piece into a PlanReader and tells
// each fault on standard error as soon as it is found: a plan from an endless pipe
// ends at a limit with its first bad line already on the screen.
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
