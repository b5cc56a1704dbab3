#include "cli/run_command.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <utility>

#include "bus/port_line.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/stop_signals.h"
#include "serial/port.h"
#include "serial/port_messages.h"

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

int run_steps(const Invocation& invocation, const std::vector<PlanStep>& steps, bool plan) {
    const RunConfig& run = invocation.run;
    Console console(invocation.json, plan, run.follow);
    serial::Port port;
    if (const auto error = port.open(run.port, run.line)) {
        console.say(serial::open_failed(run.port, *error).toStdString());
        return static_cast<int>(Exit::port_unavailable);
    }
    QString lost_device;
    QObject::connect(&port, &serial::Port::lost,
                     [&](const serial::SerialError& error) { lost_device = error.device; });
    const QString device = port.device();
    JobKeeper keeper(run.port, device.toStdString(), run.line);
    console.set_keeper(&keeper);
    bus::PortLine line(port);
    plan::Runner runner(line, settings_of(run), steps, console);
    console.set_results(&runner.results());
    RunStop stop;
    bool finished = false;
    const auto finish = [&](Exit code) {
        if (std::exchange(finished, true)) {
            return;
        }
        stop.job = keeper.end();
        console.finish(stop);
        port.close();
        if (const auto failed = invocation.record
                                    ? keeper.write(*invocation.record, runner.results())
                                    : std::nullopt) {
            console.say(*failed);
            code = Exit::port_lost;
        }
        if (console.output().failed()) {
            std::fputs("tarvokctl：写出结果失败（磁盘已满，或读取输出的程序已退出）；结果不完整\n",
                       stderr);
            code = Exit::port_lost;
        }
        QCoreApplication::exit(static_cast<int>(code));
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
            console.say(serial::port_lost(run.port, lost_device.isEmpty() ? device : lost_device)
                            .toStdString());
            finish(Exit::port_lost);
            return;
        case plan::RunEnd::line_fault:
            console.say((runner.fault() == bus::LineFault::read
                             ? serial::read_failed(run.port, device)
                             : serial::write_failed(run.port, device))
                            .toStdString());
            finish(Exit::port_lost);
            return;
        }
    });
    const StopSignals stop_signals;
    QObject::connect(&stop_signals, &StopSignals::caught, [&](int signo) {
        if (stop.signo != 0) {
            // A second signal: no waiting for the exchange in flight.
            stop.at_once = true;
            runner.abort();
            return;
        }
        stop.signo = signo;
        console.say("收到信号，进行中的一项结束后停止；再收到一次立即结束");
        runner.stop();
    });
    QTimer::singleShot(0, [&runner] { runner.start(); });
    return QCoreApplication::exec();
}

}  // namespace tarvok::cli
