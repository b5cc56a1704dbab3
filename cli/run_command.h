// Runs settings from the command line or a plan file on the port the options name:
// opens it once, lends it to the plan runner on the platform's loop, says what
// happens, and ends with the exit code a script acts on.
#pragma once

#include <vector>

#include "cli/options.h"
#include "cli/platform.h"

namespace tarvok::cli {

// `plan`: the steps came from a plan file, so a summary follows.
int run_steps(const Invocation& invocation, const std::vector<PlanStep>& steps, bool plan,
              Platform& platform);

}  // namespace tarvok::cli
