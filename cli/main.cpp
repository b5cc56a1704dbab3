// tarvokctl: sets up relay modules from the command line, one setting per call or a
// whole plan file, with an exit code a script can act on. QtCore and QSerialPort
// only: it runs with no display.
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "cli/help.h"
#include "cli/options.h"
#include "cli/plan_file.h"
#include "cli/exit_codes.h"
#include "cli/run_command.h"
#include "cli/scan_command.h"
#include "cmdline/error.h"
#include "serial/port_directory.h"

namespace {

using namespace tarvok::cli;

void print(FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

int usage_error(const std::string& message) {
    print(stderr, tarvok::cmdline::usage_line("tarvokctl", message) + "\n");
    return static_cast<int>(Exit::usage);
}

int apply(const Invocation& invocation, const std::string& path) {
    const auto steps = read_plan_file(path, invocation.verbose);
    return steps ? run_steps(invocation, *steps, true) : static_cast<int>(Exit::usage);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // A reader that went away costs a sentence and exit 74, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    // The arguments' bytes as they came: a plan's file name stays the file's.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
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
        const QString table = tarvok::serial::port_table_text();
        print(stdout,
              table.isEmpty() ? std::string("没有找到串口。\n") : table.toStdString() + "\n");
        return 0;
    }
    if (const auto* scan = std::get_if<ScanBus>(&command)) {
        return run_scan(invocation.run, *scan, invocation.json);
    }
    if (const auto* one = std::get_if<SendOne>(&command)) {
        return run_steps(invocation, {one->step}, false);
    }
    return apply(invocation, std::get<ApplyPlan>(command).path);
}
