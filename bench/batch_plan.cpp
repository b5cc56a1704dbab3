// 批量配置's run of a plan beside tarvokctl's run of the same plan: 32 settings to one
// module's channels (bench/one_module_plan.h, as bench_plan_one_module runs it) against
// tarvok-sim answering at once, at 9600 and at 115200 baud, one simulator per rate on
// the simulator's core, both subjects on the other.
//  - The window (bench_batch_window, a fresh process per block): its port opened on the
//    simulator, the plan loaded, from the press of 开始 to the run's end.
//  - tarvokctl: start to exit, less a plan of one setting's start to exit (its start,
//    the port's opening, one exchange, its exit), so that what is left is the run's own
//    span. Both spans hold the 31 gaps between 32 settings; the window's also holds the
//    first exchange and the port's lending and return, tarvokctl's neither.
// A second row per rate takes the window's own plan of one setting away as well, so
// both sides are the same difference. Blocks alternate between the subjects and the
// rates after a warm-up of each; medians.
//
//   bench_batch_plan [runs of each plan per subject and rate, default 9]
#include <QCoreApplication>

#include <csignal>
#include <vector>

#include "bench/child_run.h"
#include "bench/one_module_plan.h"

using namespace tarvok::bench;

namespace {

constexpr int kBlocks = 3;

struct Runs {
    std::vector<double> long_ms;
    std::vector<double> one_ms;
};

// A block of the window's runs in a fresh process: its "run <settings> <ms> <CPU ms>"
// lines.
void window_block(const Rate& rate, const QString& plan, const QString& one, int runs, Runs& into) {
    const tarvok::testbed::Ended ended = tarvok::testbed::run(
        sibling("bench_batch_window"),
        {QString::number(rate.port), QString::number(rate.baud), plan, one, QString::number(runs)},
        {.core = subject_core()}, kChildWaitMs);
    if (ended.exit != 0) {
        give_up("bench_batch_plan", qPrintable("bench_batch_window failed\n" + ended.errors));
    }
    int taken = 0;
    for (const QByteArray& line : ended.out_lines()) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 4 && fields[0] == "run") {
            (fields[1].toInt() == 1 ? into.one_ms : into.long_ms).push_back(fields[2].toDouble());
            ++taken;
        }
    }
    if (taken != 2 * runs) {
        give_up("bench_batch_plan", "bench_batch_window measured too few runs");
    }
}

void tarvokctl_block(const Rate& rate, const QString& plan, const QString& one, int runs,
                     Runs& into) {
    for (int i = 0; i < runs; ++i) {
        into.long_ms.push_back(tarvokctl_plan_ms(plan, rate, kPlanSettings));
        into.one_ms.push_back(tarvokctl_plan_ms(one, rate, 1));
    }
}

void rows(std::uint32_t baud, const Runs& window, const Runs& cli) {
    const double cli_span = median(cli.long_ms) - median(cli.one_ms);
    const double window_span = median(window.long_ms);
    emit_row(
        QStringLiteral("批量配置, plan of %1 settings to one module at %2 baud, the run's span")
            .arg(kPlanSettings)
            .arg(baud)
            .toStdString(),
        "ms", "window, press of 开始 to the run's end", window_span,
        "tarvokctl, start to exit less a plan of one setting", cli_span);
    emit_row(QStringLiteral("批量配置, the same less a plan of one setting at %1 baud")
                 .arg(baud)
                 .toStdString(),
             "ms", "window", window_span - median(window.one_ms), "tarvokctl", cli_span);
    emit_row(QStringLiteral("批量配置, plan of one setting at %1 baud").arg(baud).toStdString(),
             "ms", "window, press of 开始 to the run's end", median(window.one_ms));
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(kBlocks, std::atoi(argv[1])) : 9;
    const int each = (runs + kBlocks - 1) / kBlocks;
    std::signal(SIGPIPE, SIG_IGN);
    pin_to(subject_core());
    QCoreApplication app(argc, argv);
    const ConfigDir config;
    const QString plan = write_one_module_plan(config, kPlanSettings);
    const QString one = write_one_module_plan(config, 1);
    std::array<tarvok::testbed::Simulator, kPlanRates.size()> simulators;
    std::array<Runs, kPlanRates.size()> window;
    std::array<Runs, kPlanRates.size()> cli;
    for (std::size_t i = 0; i < kPlanRates.size(); ++i) {
        const Rate& rate = kPlanRates.at(i);
        start_far_end(simulators.at(i), {"--baud", QString::number(rate.baud)}, rate.port);
        tarvokctl_plan_ms(plan, rate, kPlanSettings);
        Runs warm_up;
        window_block(rate, plan, one, 1, warm_up);
    }
    for (int block = 0; block < kBlocks; ++block) {
        for (std::size_t i = 0; i < kPlanRates.size(); ++i) {
            // Which subject goes first changes from block to block.
            if (block % 2 == 0) {
                window_block(kPlanRates.at(i), plan, one, each, window.at(i));
            }
            tarvokctl_block(kPlanRates.at(i), plan, one, each, cli.at(i));
            if (block % 2 == 1) {
                window_block(kPlanRates.at(i), plan, one, each, window.at(i));
            }
        }
    }
    for (std::size_t i = 0; i < kPlanRates.size(); ++i) {
        rows(kPlanRates.at(i).baud, window.at(i), cli.at(i));
    }
    return 0;
}
