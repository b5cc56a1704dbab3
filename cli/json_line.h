// One setting's result as one line of JSON, for scripts (--json). Keys in a fixed
// order: line (plan runs only), address, setting, request, frame, reply (null when
// none counted), received, outcome, attempts, milliseconds, then late, warning, doubt,
// unsent, moved_to and proven when they apply.
#pragma once

#include <string>

#include "plan/step_result.h"

namespace tarvok::cli {

// A compact object and a newline. Plain C++: written for every setting, so it
// stays cheap next to the round trip it reports.
std::string json_line(const plan::StepResult& result);

}  // namespace tarvok::cli
