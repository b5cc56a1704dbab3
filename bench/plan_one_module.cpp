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
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <vector>

#include "bench/sim_wire.h"
#include "bus/exchange.h"
#include "protocol/wire.h"

using namespace tarvok::bench;
namespace protocol = tarvok::protocol;

namespace {

constexpr int kSettings = 32;
constexpr int kTimeoutMs = 60'000;

struct Rate {
    std::uint32_t baud;
    int port;
};
constexpr std::array<Rate, 2> kRates = {{{9600, 1}, {115200, 2}}};

QString write_plan(const ConfigDir& config, int settings) {
    QByteArray text = "address,setting,arguments\n";
    for (int channel = 1; channel <= settings; ++channel) {
        text += QByteArray("1,mode,") + QByteArray::number(channel) + ",self-lock\n";
    }
    const QString path = config.root() + QStringLiteral("/one-module-%1.csv").arg(settings);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        give_up("bench_plan_one_module", "cannot write the plan");
    }
    return path;
}

// Milliseconds from start to exit; every setting must be done.
double run_ms(const QString& plan, const Rate& rate, int settings) {
    const tarvok::testbed::Ended ended =
        tarvok::testbed::run(QStringLiteral(TARVOKCTL_PATH),
                             {"--port", QString::number(rate.port), "--baud",
                              QString::number(rate.baud), "--json", "apply", plan},
                             {.core = subject_core()}, kTimeoutMs);
    const QList<QByteArray> lines = ended.out_lines();
    const bool all_done = std::all_of(lines.begin(), lines.end(), [](const QByteArray& line) {
        return QJsonDocument::fromJson(line).object().value("outcome").toString() == "done";
    });
    if (ended.exit != 0 || lines.size() != settings || !all_done) {
        give_up("bench_plan_one_module", "a plan run did not do every setting");
    }
    return ended.wall_us / 1000;
}

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
    const QString plan = write_plan(config, kSettings);
    const QString one = write_plan(config, 1);
    std::array<tarvok::testbed::Simulator, kRates.size()> simulators;
    for (std::size_t i = 0; i < kRates.size(); ++i) {
        start_far_end(simulators.at(i), {"--baud", QString::number(kRates.at(i).baud)},
                      kRates.at(i).port);
        run_ms(plan, kRates.at(i), kSettings);
    }
    std::array<std::vector<double>, kRates.size()> times;
    std::array<std::vector<double>, kRates.size()> single;
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < kRates.size(); ++i) {
            times.at(i).push_back(run_ms(plan, kRates.at(i), kSettings));
            single.at(i).push_back(run_ms(one, kRates.at(i), 1));
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
        emit_row(QStringLiteral("the same less a plan of one setting at %1 baud").arg(baud).toStdString(),
                 "ms", "tarvokctl", median(times.at(i)) - median(single.at(i)),
                 "31 × (wire + 3 ms turn-around + gap)", bound_ms(baud, kSettings - 1));
    }
    return 0;
}
