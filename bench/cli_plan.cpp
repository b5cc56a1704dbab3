// tarvokctl running plans against a running tarvok-sim, each number beside a
// baseline measured in the same run:
//  - a setting's send-to-reply time at 115200 baud, as the tool reports it, against
//    minimal Qt (bench_minimal_cli sending the same plan one setting at a time, timed
//    from its write to its reply read) and against the bare pty round trip. The bus
//    engine keeps the line quiet for its gap (over 20 ms) after each reply, and on a
//    virtual machine the first wake-ups after such a pause are slow on both sides of
//    the pty; so minimal Qt pauses as long before each next frame, and is measured
//    back to back too;
//  - a setting's CPU time: the growth of the process's user and system time from a
//    plan of 100 to the long plan, per added setting, for tarvokctl and for minimal
//    Qt with the same pause, and the bare round trip's own;
//  - pacing: a plan of 100 against `tarvok-sim --pace` at 9600 baud, start to exit,
//    against what the simulator waits for those settings (wire time and
//    turn-around) plus the quiet gap the bus engine keeps after each reply.
// The simulator runs on one core, tarvokctl and its baselines on the other.
//
//   bench_cli_plan [settings in the long plan, default 500]
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/resource.h>

#include "bench/child_run.h"
#include "bench/sim_wire.h"
#include "bus/exchange.h"
#include "sim/reply_faults.h"

using namespace tarvok::bench;

namespace {

constexpr int kTimeoutMs = 600'000;
constexpr int kShortPlan = 100;
constexpr int kPacedBaud = 9600;
constexpr int kWarmUp = 20;
constexpr int kBlocks = 3;

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
    std::vector<double> send_to_reply_us;  // each setting's own time
    double wall_us = 0;                    // start to exit
    double cpu_us = 0;                     // user and system time the program used
};

double children_cpu_us() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto us = [](const timeval& t) { return double(t.tv_sec) * 1e6 + double(t.tv_usec); };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

// The program to its end on the subjects' core (the testbed keeps its output in a file,
// so that no reader of ours shares the machine with it while it runs); each line of
// the output gives `sample` one setting's time, or nothing.
template <typename Sample>
PlanRun run_plan(const QString& program, const QStringList& args, Sample sample) {
    const double cpu_before = children_cpu_us();
    const tarvok::testbed::Ended ended =
        tarvok::testbed::run(program, args, {.core = subject_core()}, kTimeoutMs);
    if (ended.exit != 0) {
        give_up("bench_cli_plan", "a plan run failed");
    }
    // The simulator is not reaped before the end, so only this child adds to the children.
    PlanRun run{{}, ended.wall_us, children_cpu_us() - cpu_before};
    for (const QByteArray& line : ended.out_lines()) {
        if (const auto us = sample(line)) {
            run.send_to_reply_us.push_back(*us);
        }
    }
    return run;
}

PlanRun tarvokctl(const QString& plan, int baud) {
    return run_plan(QStringLiteral(TARVOKCTL_PATH),
                    {"--port", "1", "--baud", QString::number(baud), "--json", "apply", plan},
                    [](const QByteArray& line) -> std::optional<double> {
                        if (line.isEmpty()) {
                            return std::nullopt;
                        }
                        const auto result = QJsonDocument::fromJson(line).object();
                        return result.value("milliseconds").toDouble() * 1000;
                    });
}

// The quiet the bus engine keeps after a reply before the next frame, in whole ms as
// its timer waits.
int gap_ms(int baud) {
    const auto gap = tarvok::bus::timing_for(baud, tarvok::protocol::Parity::none, {}).gap;
    return int(std::chrono::ceil<std::chrono::milliseconds>(gap).count());
}

PlanRun minimal_qt(const QString& device, const QString& plan, int pause_ms) {
    return run_plan(sibling("bench_minimal_cli"), {device, plan, QString::number(pause_ms)},
                    [](const QByteArray& line) -> std::optional<double> {
                        if (!line.startsWith("sample ")) {
                            return std::nullopt;
                        }
                        return line.mid(7).toDouble();
                    });
}

// CPU time per setting from the short plan's runs to the long plan's.
double cpu_per_setting(const std::vector<double>& long_runs, const std::vector<double>& short_runs,
                       int count) {
    return (median(long_runs) - median(short_runs)) / (count - kShortPlan);
}

void measure(const QString& device, const std::array<QString, 2>& plans, int count) {
    const int pause = gap_ms(115200);
    bare_round_trips(device, kWarmUp);
    tarvokctl(plans[0], 115200);
    minimal_qt(device, plans[0], pause);
    // Alternating blocks, so that drift in the machine's load falls on all alike.
    Timed bare;
    std::vector<double> ctl_times;
    std::vector<double> small_times;
    std::vector<double> back_to_back;
    std::array<std::vector<double>, 2> ctl_cpu;  // plans of 100 and `count`
    std::array<std::vector<double>, 2> small_cpu;
    for (int block = 0; block < kBlocks; ++block) {
        bare.add(bare_round_trips(device, count));
        for (std::size_t i = 0; i < plans.size(); ++i) {
            const PlanRun ctl = tarvokctl(plans.at(i), 115200);
            const PlanRun small = minimal_qt(device, plans.at(i), pause);
            ctl_cpu.at(i).push_back(ctl.cpu_us);
            small_cpu.at(i).push_back(small.cpu_us);
            append(ctl_times, ctl.send_to_reply_us);
            append(small_times, small.send_to_reply_us);
        }
        append(back_to_back, minimal_qt(device, plans[1], 0).send_to_reply_us);
    }
    const Spread ctl = spread(ctl_times);
    const Spread small = spread(small_times);
    const Spread wire = spread(bare.samples);
    emit_row("setting, send to reply, median", "µs", "tarvokctl", ctl.median, "minimal Qt",
             small.median);
    emit_row("setting, send to reply, p99", "µs", "tarvokctl", ctl.p99, "minimal Qt", small.p99);
    emit_row("setting, send to reply, median", "µs", "tarvokctl", ctl.median,
             "minimal Qt, no pause", median(back_to_back));
    emit_row("setting, send to reply, median", "µs", "tarvokctl", ctl.median, "bare pty",
             wire.median);
    const double ctl_each = cpu_per_setting(ctl_cpu[1], ctl_cpu[0], count);
    emit_row("setting, CPU time", "µs", "tarvokctl", ctl_each, "minimal Qt",
             cpu_per_setting(small_cpu[1], small_cpu[0], count));
    emit_row("setting, CPU time", "µs", "tarvokctl", ctl_each, "bare pty median", median(bare.cpu));
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(kShortPlan * 2, std::atoi(argv[1])) : 500;
    std::signal(SIGPIPE, SIG_IGN);
    pin_to(subject_core());
    QCoreApplication app(argc, argv);
    const ConfigDir config;
    const std::array<QString, 2> plans = {write_plan(config, kShortPlan),
                                          write_plan(config, count)};
    {
        tarvok::testbed::Simulator simulator;
        measure(start_far_end(simulator, {"--baud", "115200"}), plans, count);
    }
    tarvok::testbed::Simulator paced;
    start_far_end(paced, {"--baud", QString::number(kPacedBaud), "--pace"});
    const double paced_ms = tarvokctl(plans[0], kPacedBaud).wall_us / 1000;
    const auto parity = tarvok::protocol::Parity::none;
    // Every setting of the plan goes to one module with one command; once its first
    // reply has been watched, a module that answers once costs a setting its gap.
    const auto timing = tarvok::bus::timing_for(kPacedBaud, parity, std::nullopt);
    const auto each = tarvok::sim::paced_wait(kPacedBaud, parity) + timing.gap;
    emit_row("paced plan of 100 at 9600 baud", "ms", "tarvokctl", paced_ms,
             "wire + turn-around + gap",
             kShortPlan * std::chrono::duration<double, std::milli>(each).count());
    return 0;
}
