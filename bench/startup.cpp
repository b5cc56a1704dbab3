// Start-up to the first painted main window, and peak resident memory by then:
// Tarvok's start-up (start_tarvok, as app/main.cpp plus a marker) beside a minimal
// Qt Widgets window (start_minimal), run alternately in the same session, each on
// the same fixed core. The clock starts just before the child process is created,
// so loading and linking the libraries count too.
//
//   bench_startup [runs per program, default 60]
#include <QCoreApplication>

#include <cstdlib>

#include "bench/bench_support.h"

using namespace tarvok::bench;

namespace {

constexpr int kWarmUp = 3;

struct Start {
    double ms;
    double peak_mib;
};

[[noreturn]] void give_up(const QString& why) {
    std::fprintf(stderr, "bench_startup: %s\n", qPrintable(why));
    std::exit(1);
}

Start start_once(const QString& program) {
    const tarvok::testbed::Ended ended =
        tarvok::testbed::run(program, {}, {.core = subject_core()}, 20000);
    if (ended.exit != 0) {
        give_up(program + " did not paint and quit: " + ended.errors);
    }
    const QList<QByteArray> fields = ended.out.trimmed().split(' ');
    if (fields.size() != 3 || fields[0] != "painted") {
        give_up(program + " gave no paint marker");
    }
    const auto painted = std::chrono::nanoseconds(fields[1].toLongLong());
    return {micros(painted - ended.started.time_since_epoch()) / 1000.0,
            fields[2].toDouble() / 1024.0};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const ConfigDir config;
    const QString dir = QCoreApplication::applicationDirPath();
    const QString tarvok = dir + "/bench_start_tarvok";
    const QString minimal = dir + "/bench_start_minimal";

    for (int i = 0; i < kWarmUp; ++i) {
        start_once(tarvok);
        start_once(minimal);
    }
    std::vector<double> tarvok_ms;
    std::vector<double> minimal_ms;
    std::vector<double> tarvok_mib;
    std::vector<double> minimal_mib;
    for (int i = 0; i < runs; ++i) {
        const Start t = start_once(tarvok);
        const Start m = start_once(minimal);
        tarvok_ms.push_back(t.ms);
        tarvok_mib.push_back(t.peak_mib);
        minimal_ms.push_back(m.ms);
        minimal_mib.push_back(m.peak_mib);
    }
    emit_row("start-up to first paint median", "ms", "tarvok", median(tarvok_ms), "minimal window",
             median(minimal_ms));
    emit_row("peak resident memory median", "MiB", "tarvok", median(tarvok_mib), "minimal window",
             median(minimal_mib));
    return 0;
}
