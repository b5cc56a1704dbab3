// Shared pieces of the measurement programs: quiet offscreen windows, percentiles and the one-line
// result format that scripts/bench.sh turns into a table.
#pragma once

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/config_dir.h"
#include "tests/support/pty_pair.h"

namespace tarvok::bench {

using Clock = std::chrono::steady_clock;

inline double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// The offscreen platform warns each time a window is raised; a desktop would not,
// and the warnings would be timed along with the window.
inline void quiet_offscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg &&
            text.startsWith(QLatin1String("This plugin does not support"))) {
            return;
        }
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });
}

// The tests' throw-away config folder and pty pair serve the measurements too.
using test::ConfigDir;
using test::PtyPair;

struct Spread {
    double median;
    double p99;
};

inline Spread spread(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto n = samples.size();
    const auto p99 = std::min(n - 1, (n * 99 + 99) / 100 - 1);
    return {samples[n / 2], samples[p99]};
}

inline double median(std::vector<double> samples) { return spread(std::move(samples)).median; }

// "<measure>\t<subject>\t<value>\t<unit>", one line per number, on stdout.
inline void emit_result(const char* measure, const char* subject, double value, const char* unit) {
    std::printf("%s\t%s\t%.6g\t%s\n", measure, subject, value, unit);
    std::fflush(stdout);
}

}  // namespace tarvok::bench
