#include "cli/run_command.h"

#include <cstdio>
#include <optional>
#include <variant>

#include "cli/cli_words.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "serial/port_words.h"

namespace tarvok::cli {

namespace {

plan::RunSettings settings_of(const RunConfig& run) {
    plan::RunSettings settings;
    settings.line = run.line;
    settings.timeout_ms = run.timeout_ms;
    settings.retries = run.retries;
    settings.matching = run.lenient ? bus::Matching::lenient : bus::Matching::strict;
    settings.follow = run.follow;
    return settings;
}

}  // namespace

int run_steps(const Invocation& invocation, const std::vector<PlanStep>& steps, bool plan,
              Platform& platform) {
    const RunConfig& run = invocation.run;
    Console console(invocation.json, plan, run.follow);
    auto opened = platform.open(run.port, run.line);
    if (const auto* why = std::get_if<std::string>(&opened)) {
        console.say(*why);
        return static_cast<int>(Exit::port_unavailable);
    }
    bus::Line& line = *std::get<Platform::Opened>(opened).line;
    const std::string device = std::get<Platform::Opened>(opened).device;
    JobKeeper keeper(run.port, device, run.line, [&platform] { return platform.now(); });
    console.set_keeper(&keeper);
    plan::Runner runner(line, settings_of(run), steps, console);
    console.set_results(&runner.results());
    RunStop stop;
    std::optional<Exit> code;
    const auto finish = [&](Exit exit) {
        if (code) {
            return;
        }
        stop.job = keeper.end();
        console.finish(stop);
        code = exit;
        if (const auto failed = invocation.record
                                    ? keeper.write(*invocation.record, runner.results())
                                    : std::nullopt) {
            console.say(*failed);
            code = Exit::port_lost;
        }
        if (console.output().failed()) {
            std::fputs((own(word(ToolWord::output_failed)) + "\n").c_str(), stderr);
            code = Exit::port_lost;
        }
    };
    console.set_end([&](plan::RunEnd end) {
        switch (end) {
        case plan::RunEnd::completed:
            finish(exit_for(runner.results()));
            return;
        case plan::RunEnd::stopped:
            finish(stop.signo != 0 ? exit_for_signal(stop.signo) : Exit::interrupted);
            return;
        case plan::RunEnd::port_lost:
            console.say(serial::words::port_lost(run.port, device));
            finish(Exit::port_lost);
            return;
        case plan::RunEnd::line_fault:
            console.say(runner.fault() == bus::LineFault::read
                            ? serial::words::read_failed(run.port, device)
                            : serial::words::write_failed(run.port, device));
            finish(Exit::port_lost);
            return;
        }
    });
    runner.start();
    platform.run([&code] { return code.has_value(); },
                 [&](int signo) {
                     if (stop.signo != 0) {
                         // A second signal: no waiting for the exchange in flight.
                         stop.at_once = true;
                         runner.abort();
                         return;
                     }
                     stop.signo = signo;
                     console.say(std::string(word(ToolWord::signal_caught)));
                     runner.stop();
                 });
    return static_cast<int>(code.value_or(Exit::interrupted));
}

}  // namespace tarvok::cli
