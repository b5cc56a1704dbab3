#include "cli/help.h"

#include "cli/cli_words.h"
#include "cli/exit_codes.h"
#include "plan/plan_input.h"
#include "plan/plan_words.h"
#include "plan/setting_words.h"
#include "protocol/wire.h"

namespace tarvok::cli {

namespace {

using plan::choices;
using plan::kPlanLimits;
using plan::kShownErrors;

std::string usage_lines() {
    return say(HelpWord::usage,
               {std::to_string(protocol::kReplyMargin.count()),
                std::to_string(protocol::reply_timeout_ms(9600, protocol::Parity::none))});
}

std::string plan_lines() {
    return say(HelpWord::limits,
               {std::to_string(kPlanLimits.bytes >> 20U), std::to_string(kPlanLimits.lines),
                std::to_string(kPlanLimits.steps), std::to_string(kPlanLimits.line_bytes),
                std::to_string(kShownErrors)});
}

std::string value_lines() {
    return say(HelpWord::values, {choices(protocol::kKinds), choices(protocol::kModes),
                                  choices(protocol::kPowerOnStates), protocol::baud_list_text(),
                                  choices(protocol::kParities)});
}

std::string exit_lines() {
    std::string text(word(HelpWord::exits));
    for (const auto& entry : kExitCodes) {
        const std::string code = std::to_string(static_cast<int>(entry.id));
        text += "  " + code + std::string(4 - code.size(), ' ') +
                std::string(words::pick(entry.text)) + "\n";
    }
    return text;
}

}  // namespace

std::string help_text() { return usage_lines() + plan_lines() + value_lines() + exit_lines(); }

}  // namespace tarvok::cli
