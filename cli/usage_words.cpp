// The words of tarvokctl's command-line errors: an option's in cmdline/error.h's one
// wording, the command's here.
#include "cli/cli_words.h"
#include "cli/options.h"
#include "plan/plan_words.h"

namespace tarvok::cli {

namespace {

using TW = ToolWord;

std::string command_text(const CommandError& e) {
    switch (e.fault) {
    case CommandFault::missing_command:
        return std::string(word(TW::missing_command));
    case CommandFault::unknown_command:
        return say(TW::unknown_command, {plan::echo(e.word)});
    case CommandFault::channel_missing:
        return say(TW::channel_missing, {e.word});
    case CommandFault::channel_not_taken:
        return say(TW::channel_not_taken, {e.word});
    case CommandFault::only_for_scan:
        return std::string(word(TW::only_for_scan));
    case CommandFault::scan_arguments:
        return std::string(word(TW::scan_arguments));
    case CommandFault::ports_arguments:
        return std::string(word(TW::ports_arguments));
    case CommandFault::apply_target:
        return std::string(word(TW::apply_target));
    case CommandFault::record_not_taken:
        return std::string(word(TW::record_not_taken));
    case CommandFault::apply_plan:
        break;
    }
    return std::string(word(TW::apply_plan));
}

}  // namespace

std::string usage_text(const UsageError& error) {
    if (const auto* option = std::get_if<cmdline::Error>(&error.fact)) {
        return cmdline::error_text(*option);
    }
    if (const auto* command = std::get_if<CommandError>(&error.fact)) {
        return command_text(*command);
    }
    return std::get<std::string>(error.fact);
}

}  // namespace tarvok::cli
