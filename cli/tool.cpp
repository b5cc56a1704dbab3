#include "cli/tool.h"

#include <cstdio>
#include <variant>

#include "cli/cli_words.h"
#include "cli/exit_codes.h"
#include "cli/help.h"
#include "cli/options.h"
#include "cli/plan_file.h"
#include "cli/run_command.h"
#include "cli/scan_command.h"
#include "cmdline/error.h"

namespace tarvok::cli {

namespace {

void print(FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

int usage_error(const std::string& message) {
    print(stderr, cmdline::usage_line("tarvokctl", message) + "\n");
    return static_cast<int>(Exit::usage);
}

}  // namespace

int run_tarvokctl(const std::vector<std::string>& arguments, Platform& platform) {
    const auto parsed = parse_invocation(arguments);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        return usage_error(usage_text(*error));
    }
    const auto& invocation = std::get<Invocation>(parsed);
    const Command& command = invocation.command;
    if (std::holds_alternative<ShowHelp>(command)) {
        print(stdout, help_text());
        return 0;
    }
    if (std::holds_alternative<ShowVersion>(command)) {
        print(stdout, std::string("tarvokctl ") + TARVOK_VERSION + "\n");
        return 0;
    }
    if (std::holds_alternative<ListPorts>(command)) {
        const std::string table = platform.port_table();
        print(stdout, (table.empty() ? std::string(word(ToolWord::no_ports)) : table) + "\n");
        return 0;
    }
    if (const auto* scan = std::get_if<ScanBus>(&command)) {
        return run_scan(invocation.run, *scan, invocation.json, platform);
    }
    if (const auto* one = std::get_if<SendOne>(&command)) {
        return run_steps(invocation, {one->step}, false, platform);
    }
    const auto steps = read_plan_file(std::get<ApplyPlan>(command).path, invocation.verbose);
    return steps ? run_steps(invocation, *steps, true, platform) : static_cast<int>(Exit::usage);
}

}  // namespace tarvok::cli
