// A plan of 32 settings to one module (`1,mode,1,…` to `1,mode,32,…`), tarvokctl start
// to exit, against tarvok-sim answering at once (no --pace) at 9600 and at 115200
// baud, each beside its bound: 32 × (the exchange's 16 bytes of wire time + a module's
// 3 ms turn-around + the quiet gap the bus engine keeps after a reply). Every setting
// goes to one module with one command: a module that answers promptly and once must
// cost a setting its gap, not a deadline. One simulator for each rate (ports 1 and 2)
// on the simulator's core, tarvokctl on the other; runs alternate between the rates,
// after one each to warm up, and the median is given. A second row per rate takes away
// a plan of one setting run the same way (the program's start, its port's opening and
// one exchange): the other 31 settings beside their own bound.
//
//   bench_plan_one_module [runs per rate, default 9]
#include <QCoreApplication>

#include <chrono>
#include <csignal>
#include <vector>

#include "bench/one_module_plan.h"
#include "bus/exchange.h"
#include "protocol/wire.h"

using namespace tarvok::bench;
namespace protocol = tarvok::protocol;

namespace {

constexpr int kSettings = kPlanSettings;
constexpr auto& kRates = kPlanRates;

double bound_ms(std::uint32_t baud, int settings) {
    const protocol::LineSetting line{baud, protocol::Parity::none};
    const auto each = protocol::wire_time(protocol::kExchangeBytes, baud, line.parity) +
                      protocol::kModuleTurnaround + tarvok::bus::timing_for(line, std::nullopt).gap;
    return settings * std::chrono::duration<double, std::milli>(each).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::signal(SIGPIPE, SIG_IGN);
    pin_to(subject_core());
    QCoreApplication app(argc, argv);
    const ConfigDir config;
    const QString plan = write_one_module_plan(config, kSettings);
    const QString one = write_one_module_plan(config, 1);
    std::array<tarvok::testbed::Simulator, kRates.size()> simulators;
    for (std::size_t i = 0; i < kRates.size(); ++i) {
        start_far_end(simulators.at(i), {"--baud", QString::number(kRates.at(i).baud)},
                      kRates.at(i).port);
        tarvokctl_plan_ms(plan, kRates.at(i), kSettings);
    }
    std::array<std::vector<double>, kRates.size()> times;
    std::array<std::vector<double>, kRates.size()> single;
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < kRates.size(); ++i) {
            times.at(i).push_back(tarvokctl_plan_ms(plan, kRates.at(i), kSettings));
            single.at(i).push_back(tarvokctl_plan_ms(one, kRates.at(i), 1));
        }
    }
    for (std::size_t i = 0; i < kRates.size(); ++i) {
        const std::uint32_t baud = kRates.at(i).baud;
        emit_row(QStringLiteral("plan of %1 settings to one module at %2 baud")
                     .arg(kSettings)
                     .arg(baud)
                     .toStdString(),
                 "ms", "tarvokctl", median(times.at(i)), "32 × (wire + 3 ms turn-around + gap)",
                 bound_ms(baud, kSettings));
        emit_row(QStringLiteral("the same less a plan of one setting at %1 baud")
                     .arg(baud)
                     .toStdString(),
                 "ms", "tarvokctl", median(times.at(i)) - median(single.at(i)),
                 "31 × (wire + 3 ms turn-around + gap)", bound_ms(baud, kSettings - 1));
    }
    return 0;
}
