// A plan of 32 settings to one module (`1,mode,1,…` to `1,mode,32,…`), tarvokctl start
// to exit, against tarvok-sim answering at once (no --pace) at 9600 and at 115200
// baud, each beside its bound: 32 × (the exchange's 16 bytes of wire time + a module's
// 3 ms turn-around + the quiet gap the bus engine keeps after a reply). Every setting
// goes to one module with one command: a module that answers promptly and once must
// cost a setting its gap, not a deadline. One simulator for each rate (ports 1 and 2)
// on the simulator's core, tarvokctl on the other; runs alternate between the rates,
// after one each to warm up, and the median is given.
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

QString write_plan(const ConfigDir& config) {
    QByteArray text = "address,setting,arguments\n";
    for (int channel = 1; channel <= kSettings; ++channel) {
        text += QByteArray("1,mode,") + QByteArray::number(channel) + ",self-lock\n";
    }
    const QString path = config.root() + QStringLiteral("/one-module.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        give_up("bench_plan_one_module", "cannot write the plan");
    }
    return path;
}

// Milliseconds from start to exit; every setting must be done.
double run_ms(const QString& plan, const Rate& rate) {
    const tarvok::testbed::Ended ended =
        tarvok::testbed::run(QStringLiteral(TARVOKCTL_PATH),
                             {"--port", QString::number(rate.port), "--baud",
                              QString::number(rate.baud), "--json", "apply", plan},
                             {.core = subject_core()}, kTimeoutMs);
    const QList<QByteArray> lines = ended.out_lines();
    const bool all_done = std::all_of(lines.begin(), lines.end(), [](const QByteArray& line) {
        return QJsonDocument::fromJson(line).object().value("outcome").toString() == "done";
    });
    if (ended.exit != 0 || lines.size() != kSettings || !all_done) {
        give_up("bench_plan_one_module", "a plan run did not do every setting");
    }
    return ended.wall_us / 1000;
}

double bound_ms(std::uint32_t baud) {
    const protocol::LineSetting line{baud, protocol::Parity::none};
    const auto each = protocol::wire_time(protocol::kExchangeBytes, baud, line.parity) +
                      protocol::kModuleTurnaround + tarvok::bus::timing_for(line, std::nullopt).gap;
    return kSettings * std::chrono::duration<double, std::milli>(each).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::signal(SIGPIPE, SIG_IGN);
    pin_to(subject_core());
    QCoreApplication app(argc, argv);
    const ConfigDir config;
    const QString plan = write_plan(config);
    std::array<tarvok::testbed::Simulator, kRates.size()> simulators;
    for (std::size_t i = 0; i < kRates.size(); ++i) {
        start_far_end(simulators.at(i), {"--baud", QString::number(kRates.at(i).baud)},
                      kRates.at(i).port);
        run_ms(plan, kRates.at(i));
    }
    std::array<std::vector<double>, kRates.size()> times;
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < kRates.size(); ++i) {
            times.at(i).push_back(run_ms(plan, kRates.at(i)));
        }
    }
    for (std::size_t i = 0; i < kRates.size(); ++i) {
        emit_row(QStringLiteral("plan of %1 settings to one module at %2 baud")
                     .arg(kSettings)
                     .arg(kRates.at(i).baud)
                     .toStdString(),
                 "ms", "tarvokctl", median(times.at(i)), "32 × (wire + 3 ms turn-around + gap)",
                 bound_ms(kRates.at(i).baud));
    }
    return 0;
}
