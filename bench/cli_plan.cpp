// tarvokctl running plans against a running tarvok-sim, each number beside a
// baseline measured in the same run:
//  - a setting's send-to-reply time, as the tool reports it, median over plans of
//    1,000 at 115200 baud, against the same frame written straight to the pty and the
//    reply read back from the same simulator;
//  - a setting's whole cost (reading its plan line, sending, waiting, judging, the
//    JSON line): the growth of tarvokctl's start-to-exit time from a plan of 100 to
//    one of 1,000, per added setting, against the same bare round trip;
//  - growth with the plan's length: that cost against the one from a plan of 1 to a
//    plan of 100;
//  - pacing: a plan of 100 against `tarvok-sim --pace` at 9600 baud, start to exit,
//    against the wire times and turn-arounds the simulator waits for those settings.
//
// On a virtual machine a wake-up that crosses to another core costs tens of
// microseconds, more than the round trip itself, and the scheduler places processes
// as it likes. So the simulator is held on core 0, and each subject (this program
// for the bare round trip, tarvokctl for a plan) runs on that same core and then on
// core 1: both subjects always under the same placement.
//
//   bench_cli_plan [settings in the long plan, default 1000]
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <array>
#include <csignal>
#include <cstdlib>

#include "bench/sim_wire.h"
#include "sim/reply_faults.h"

using namespace tarvok::bench;

namespace {

constexpr int kTimeoutMs = kSimWaitMs;
constexpr int kShortPlan = 100;
constexpr int kPacedBaud = 9600;
constexpr int kWarmUp = 20;
constexpr int kBlocks = 5;

// Holds the calling process (or the child about to start) on one core.
void pin_to(int core) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(core, &set);
    ::sched_setaffinity(0, sizeof(set), &set);
}

// `count` settings to address 1, through every channel and mode in turn.
QString write_plan(const ConfigDir& config, int count) {
    constexpr std::array<const char*, 4> kModes = {"none", "self-lock", "linked", "momentary"};
    QByteArray text = "address,setting,arguments\n";
    for (int i = 0; i < count; ++i) {
        text +=
            QStringLiteral("1,mode,%1,%2\n").arg(i % 32 + 1).arg(kModes.at(i / 32 % 4)).toUtf8();
    }
    const QString path = config.root() + QStringLiteral("/plan-%1.csv").arg(count);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        give_up("bench_cli_plan", "cannot write the plan");
    }
    return path;
}

struct PlanRun {
    std::vector<double> send_to_reply_us;  // each setting's own time, as the tool reports it
    double wall_us = 0;                    // start to exit
    double cpu_us = 0;                     // user and system time the tool used
};

double children_cpu_us() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto us = [](const timeval& t) { return double(t.tv_sec) * 1e6 + double(t.tv_usec); };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

// tarvokctl applying `plan`; its results go to a file, so no reader of ours shares
// the machine with it while it runs.
PlanRun run_plan(const ConfigDir& config, const QString& plan, int baud, int core) {
    const QString out = config.root() + "/results.jsonl";
    QProcess ctl;
    ctl.setChildProcessModifier([core] { pin_to(core); });
    ctl.setStandardOutputFile(out);
    ctl.setStandardErrorFile(QProcess::nullDevice());
    const double cpu_before = children_cpu_us();
    const auto start = Clock::now();
    ctl.start(QStringLiteral(TARVOKCTL_PATH),
              {"--port", "1", "--baud", QString::number(baud), "--json", "apply", plan});
    if (!ctl.waitForFinished(kTimeoutMs * 10) || ctl.exitCode() != 0) {
        give_up("bench_cli_plan", "tarvokctl failed");
    }
    // The simulator is not reaped before the end, so only tarvokctl adds to the children.
    PlanRun run{{}, micros(Clock::now() - start), children_cpu_us() - cpu_before};
    QFile results(out);
    if (!results.open(QIODevice::ReadOnly)) {
        give_up("bench_cli_plan", "no results from tarvokctl");
    }
    for (const QByteArray& line : results.readAll().split('\n')) {
        if (!line.isEmpty()) {
            const auto result = QJsonDocument::fromJson(line).object();
            run.send_to_reply_us.push_back(result.value("milliseconds").toDouble() * 1000);
        }
    }
    return run;
}

double best(const std::vector<double>& samples) {
    return *std::min_element(samples.begin(), samples.end());
}

// The numbers of one placement: the subjects on `core`, the simulator on core 0.
void measure_on(int core, const ConfigDir& config, const QString& device,
                const std::array<QString, 3>& plans, int count) {
    pin_to(core);
    const std::string where = core == 0 ? ", same core" : ", other core";
    bare_round_trips(device, kWarmUp);
    run_plan(config, plans[1], 115200, core);
    // Alternating blocks, so that drift in the machine's load falls on all alike.
    std::vector<double> bare;
    std::vector<double> in_tool;
    std::array<std::vector<double>, 3> wall;  // plans of 1, 100 and `count`
    std::array<std::vector<double>, 3> cpu;
    for (int block = 0; block < kBlocks; ++block) {
        append(bare, bare_round_trips(device, count / kBlocks));
        for (std::size_t i = 0; i < plans.size(); ++i) {
            PlanRun run = run_plan(config, plans.at(i), 115200, core);
            wall.at(i).push_back(run.wall_us);
            cpu.at(i).push_back(run.cpu_us);
            if (i == 2) {
                append(in_tool, run.send_to_reply_us);
            }
        }
    }
    const auto row = [&where](const char* measure, const char* subject, double value) {
        emit_result((measure + where).c_str(), subject, value, "us");
    };
    row("setting, send to reply, median", "tarvokctl", median(in_tool));
    row("setting, send to reply, median", "bare pty", median(bare));
    // Interruptions by the rest of the machine come per unit of time and weigh on a
    // long run's mean; the best of the runs shows the tool's own cost.
    row("setting, whole cost, best run", "tarvokctl",
        (best(wall[2]) - best(wall[1])) / (count - kShortPlan));
    row("setting, whole cost, best run", "bare pty median", median(bare));
    if (core == 0) {
        row("setting, CPU time, long vs short plan", "long plan",
            (median(cpu[2]) - median(cpu[1])) / (count - kShortPlan));
        row("setting, CPU time, long vs short plan", "plan of 100",
            (median(cpu[1]) - median(cpu[0])) / (kShortPlan - 1));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(kShortPlan * 2, std::atoi(argv[1])) : 1000;
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    const ConfigDir config;
    const std::array<QString, 3> plans = {write_plan(config, 1), write_plan(config, kShortPlan),
                                          write_plan(config, count)};
    {
        const Simulator simulator(config, {"--baud", "115200"}, [] { pin_to(0); });
        const QString device = QFile::symLinkTarget(config.ports_dir() + "/com1");
        const int cores = std::min(2, QThread::idealThreadCount());
        for (int core = 0; core < cores; ++core) {
            measure_on(core, config, device, plans, count);
        }
    }
    pin_to(0);
    const Simulator paced(config, {"--baud", QString::number(kPacedBaud), "--pace"},
                          [] { pin_to(0); });
    const double paced_ms = run_plan(config, plans[1], kPacedBaud, 0).wall_us / 1000;
    const auto wire = tarvok::sim::paced_wait(kPacedBaud, tarvok::protocol::Parity::none);
    emit_result("paced plan of 100 at 9600 baud, same core", "tarvokctl", paced_ms, "ms");
    emit_result("paced plan of 100 at 9600 baud, same core", "wire + turn-around",
                kShortPlan * std::chrono::duration<double, std::milli>(wire).count(), "ms");
    emit_result("plan settings", "long plan", count, "");
    return 0;
}
