// Shared pieces of the measurement programs: quiet offscreen windows, fixed cores, CPU
// time, percentiles and the one-line result format that scripts/bench.sh turns into a
// table.
#pragma once

#include <QString>
#include <QThread>
#include <QtGlobal>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "testbed/child.h"
#include "testbed/config_dir.h"

namespace tarvok::bench {

using Clock = std::chrono::steady_clock;

inline double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// On a virtual machine a wake-up that crosses to another core costs tens of
// microseconds and the scheduler places processes as it likes, so the simulator is
// held on one core and the program under test, and its baseline, on the other.
inline constexpr int kSimCore = 0;
inline int subject_core() { return QThread::idealThreadCount() > 1 ? 1 : 0; }

using testbed::pin_to;

// CPU time this process has used so far, every thread and the kernel's part for it.
inline double cpu_us() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
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

// The testbed's throw-away config folder, shared with the tests.
using testbed::ConfigDir;

// Round trips, each timed on the wall clock and by the CPU time its process used
// meanwhile (steadier than wall time on a shared machine), both in µs.
struct Timed {
    std::vector<double> samples;
    std::vector<double> cpu;

    void add(double wall_us, double cpu_us) {
        samples.push_back(wall_us);
        cpu.push_back(cpu_us);
    }
    void add(const Timed& more) {
        samples.insert(samples.end(), more.samples.begin(), more.samples.end());
        cpu.insert(cpu.end(), more.cpu.begin(), more.cpu.end());
    }
};

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

// One row of the table, on stdout:
// "<measure>\t<unit>\t<subject>\t<value>\t<baseline subject>\t<baseline value>".
inline void emit_row(const std::string& measure, const char* unit, const char* subject,
                     double value, const char* baseline, double base_value) {
    std::printf("%s\t%s\t%s\t%.6g\t%s\t%.6g\n", measure.c_str(), unit, subject, value, baseline,
                base_value);
    std::fflush(stdout);
}

// A row with no baseline.
inline void emit_row(const std::string& measure, const char* unit, const char* subject,
                     double value) {
    std::printf("%s\t%s\t%s\t%.6g\t\t\n", measure.c_str(), unit, subject, value);
    std::fflush(stdout);
}

}  // namespace tarvok::bench
