// What tarvokctl says about the line besides each setting's result: late and second
// replies, replies for something else, garbled echoes. Each is a line of its own and
// is never counted for a setting.
#pragma once

#include <optional>
#include <string>

#include "bus/exchange.h"
#include "cli/outcome.h"

namespace tarvok::cli {

// The line for a note, naming the plan line whose frame it is about; nothing for notes
// that only count (frames sent, echoes, junk, deadlines).
std::optional<std::string> remark_text(const bus::Note& note, const StepResult& about);

// "回复迟到（230 ms，期限 117 ms）：可加大 --timeout，例如 --timeout 460".
std::string late_advice(const StepResult& result);

}  // namespace tarvok::cli
