// tarvokctl as a whole, on any platform: its command line, its commands, its words and
// its exit code.
#pragma once

#include <string>
#include <vector>

#include "cli/platform.h"

namespace tarvok::cli {

// `arguments` without the program's name, their bytes as they came.
int run_tarvokctl(const std::vector<std::string>& arguments, Platform& platform);

}  // namespace tarvok::cli
