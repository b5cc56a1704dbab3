// The plan of settings to one module's channels (`1,mode,1,self-lock` to
// `1,mode,N,self-lock`) that bench_plan_one_module and bench_batch_plan both run, the
// rates they run it at (one tarvok-sim each), and tarvokctl's run of it, start to exit.
// Needs TARVOKCTL_PATH.
#pragma once

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cstdint>

#include "bench/sim_wire.h"

namespace tarvok::bench {

inline constexpr int kPlanSettings = 32;
inline constexpr int kPlanTimeoutMs = 60'000;

struct Rate {
    std::uint32_t baud;
    int port;
};
inline constexpr std::array<Rate, 2> kPlanRates = {{{9600, 1}, {115200, 2}}};

// The plan of `settings` settings, written into the config folder.
inline QString write_one_module_plan(const ConfigDir& config, int settings) {
    QByteArray text = "address,setting,arguments\n";
    for (int channel = 1; channel <= settings; ++channel) {
        text += QByteArray("1,mode,") + QByteArray::number(channel) + ",self-lock\n";
    }
    const QString path = config.root() + QStringLiteral("/one-module-%1.csv").arg(settings);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        give_up("benchmark", "cannot write the plan");
    }
    return path;
}

// tarvokctl's run of `plan` at `rate`, in milliseconds from start to exit; every
// setting must be done.
inline double tarvokctl_plan_ms(const QString& plan, const Rate& rate, int settings) {
    const testbed::Ended ended = testbed::run(QStringLiteral(TARVOKCTL_PATH),
                                              {"--port", QString::number(rate.port), "--baud",
                                               QString::number(rate.baud), "--json", "apply", plan},
                                              {.core = subject_core()}, kPlanTimeoutMs);
    const QList<QByteArray> lines = ended.out_lines();
    const bool all_done = std::all_of(lines.begin(), lines.end(), [](const QByteArray& line) {
        return QJsonDocument::fromJson(line).object().value("outcome").toString() == "done";
    });
    if (ended.exit != 0 || lines.size() != settings || !all_done) {
        give_up("benchmark", "a tarvokctl plan run did not do every setting");
    }
    return ended.wall_us / 1000;
}

}  // namespace tarvok::bench
