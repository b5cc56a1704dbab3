// tarvokctl --help: usage, every accepted value (from the protocol's tables, in
// Chinese and as ASCII aliases), the plan format and the exit codes.
#pragma once

#include <string>

namespace tarvok::cli {

std::string help_text();

}  // namespace tarvok::cli
