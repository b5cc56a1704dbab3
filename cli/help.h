// tarvokctl --help in the process's language: usage, every accepted value (from the
// protocol's tables: in Chinese the window's words and the ASCII aliases, in English
// the aliases), the plan format and the exit codes.
#pragma once

#include <string>

namespace tarvok::cli {

std::string help_text();

}  // namespace tarvok::cli
