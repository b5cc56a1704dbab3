// tarvokctl: sets up relay modules from the command line, one setting per call or a
// whole plan file, with an exit code a script can act on. QtCore and QSerialPort
// only: it runs with no display.
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "cli/help.h"
#include "cli/options.h"
#include "cli/plan_file.h"
#include "cli/report.h"
#include "cli/runner.h"
#include "cli/scan_command.h"
#include "cli/stop_signals.h"
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

int run(const Invocation& invocation, const std::vector<PlanStep>& steps, bool plan) {
    Runner runner(invocation.run, steps);
    Console console(invocation.json, plan);
    const StopSignals stop_signals;
    QObject::connect(&stop_signals, &StopSignals::caught,
                     [&](int signo) { runner.interrupt(exit_for_signal(signo)); });
    QObject::connect(&runner, &Runner::remark,
                     [&](const std::string& text) { console.remark(text); });
    QObject::connect(&runner, &Runner::step_started, [&](std::size_t index, std::size_t total) {
        console.started(index, total, runner.results().at(index));
    });
    QObject::connect(&runner, &Runner::step_finished,
                     [&](const StepResult& result) { console.finished_one(result); });
    QObject::connect(&runner, &Runner::finished, [&](Exit code, const QString& failure) {
        console.finished_all(runner.results(), failure);
        QCoreApplication::exit(static_cast<int>(code));
    });
    QMetaObject::invokeMethod(&runner, &Runner::start, Qt::QueuedConnection);
    return QCoreApplication::exec();
}

int apply(const Invocation& invocation, const std::string& path) {
    const auto steps = read_plan_file(path, invocation.verbose);
    return steps ? run(invocation, *steps, true) : static_cast<int>(Exit::usage);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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
        return run(invocation, {one->step}, false);
    }
    return apply(invocation, std::get<ApplyPlan>(command).path);
}
