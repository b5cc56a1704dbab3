// Round trip of one setting at 115200 baud, a click on Command1 through the real
// window, serial line and pty to a running tarvok-sim and back, beside baselines
// against the same simulator in the same run:
//  - minimal Qt (bench_minimal_window): a button, QSerialPort and a label window
//    doing the same work; and the same with its captions at the window's point sizes
//    (Qt's default is smaller, and glyph pixels are much of a click's cost);
//  - the bare pty: the frame written straight to the simulator's pty and the reply
//    read back, the floor of the wire.
// Each with its CPU time per round trip. Two ways of ending a round trip: once the
// result window is shown (it stays up, as an operator leaves it), and with the result
// window closed before each press, at its first paint. And the window's round trip
// with its traffic window open. The simulator runs on one core, every subject on the
// other. The window (bench_window_round_trip) and its yardsticks each run as a fresh
// process per block, blocks alternating, so that both the drift in the machine's load
// and the differences between one process and the next fall on all alike.
//
//   bench_round_trip [round trips per subject, default 1000]
#include <QCoreApplication>

#include "bench/child_run.h"
#include "bench/sim_wire.h"

using namespace tarvok::bench;

namespace {

constexpr int kBlocks = 8;

Timed child(const char* program, const QStringList& args) {
    return run_child(sibling(program), args, subject_core());
}

Timed window(int count, const char* mode) {
    return child("bench_window_round_trip", {QString::number(count), QLatin1String(mode)});
}

Timed minimal(const QString& device, int count, const char* mode, const char* sizes = "") {
    QStringList args = {device, QString::number(count), QLatin1String(mode)};
    if (*sizes != '\0') {
        args << QLatin1String(sizes);
    }
    return child("bench_minimal_window", args);
}

void rows(const char* measure, const Timed& ours, const char* subject, const Timed& base,
          const char* baseline) {
    const Spread o = spread(ours.samples);
    const Spread b = spread(base.samples);
    const std::string m = measure;
    emit_row(m + " median", "µs", subject, o.median, baseline, b.median);
    emit_row(m + " p99", "µs", subject, o.p99, baseline, b.p99);
    emit_row(m + ", CPU time median", "µs", subject, median(ours.cpu), baseline, median(base.cpu));
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(kBlocks, std::atoi(argv[1])) : 1000;
    const int each = count / kBlocks;
    quiet_offscreen();
    // A reader that goes away early (| head) must not kill us before the simulator
    // is stopped and the temporary folder removed.
    std::signal(SIGPIPE, SIG_IGN);
    pin_to(subject_core());
    QCoreApplication app(argc, argv);
    const ConfigDir config;
    tarvok::testbed::Simulator simulator;
    const QString device = start_far_end(simulator, {"--baud", "115200"});
    bare_round_trips(device, kBlocks);

    Timed shown, hidden, logged, small, small_sized, small_hidden, bare;
    for (int block = 0; block < kBlocks; ++block) {
        shown.add(window(each, "shown"));
        small.add(minimal(device, each, "shown"));
        hidden.add(window(each, "hidden"));
        small_hidden.add(minimal(device, each, "hidden"));
        logged.add(window(each, "traffic"));
        small_sized.add(minimal(device, each, "shown", "window"));
        bare.add(bare_round_trips(device, each));
    }
    rows("round trip", shown, "window", small, "minimal Qt");
    emit_row("round trip median", "µs", "window", spread(shown.samples).median, "bare pty",
             spread(bare.samples).median);
    emit_row("round trip, CPU time median", "µs", "window", median(shown.cpu), "bare pty",
             median(bare.cpu));
    emit_row("round trip median", "µs", "window", spread(shown.samples).median,
             "minimal Qt, captions at the window's sizes", spread(small_sized.samples).median);
    emit_row("round trip, CPU time median", "µs", "window", median(shown.cpu),
             "minimal Qt, captions at the window's sizes", median(small_sized.cpu));
    rows("round trip to the result window's first paint", hidden, "window", small_hidden,
         "minimal Qt");
    emit_row("round trip median, traffic window", "µs", "open", spread(logged.samples).median,
             "closed", spread(shown.samples).median);
    return 0;
}
