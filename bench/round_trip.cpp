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
// other; blocks alternate so that drift in the machine's load falls on all alike.
//
//   bench_round_trip [round trips per subject, default 1000]
#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include "bench/child_run.h"
#include "bench/click_round_trip.h"
#include "bench/sim_wire.h"
#include "ui/main_form.h"
#include "ui/traffic_window.h"

using namespace tarvok::bench;
using tarvok::ui::main_form;

namespace {

constexpr int kBlocks = 4;
constexpr int kWarmUp = 20;
constexpr int k115200Index = 7;

// Round trips ending when result_shown comes; the result window stays up.
Timed shown_round_trips(main_form& form, int count) {
    QEventLoop loop;
    const auto done =
        QObject::connect(&form, &main_form::result_shown, &loop, [&loop] { loop.exit(0); });
    Timed timed = click_round_trips(*form.Command1, loop, count);
    QObject::disconnect(done);
    return timed;
}

// Round trips with the result window dismissed by its own button before each press,
// ending at its first paint.
Timed painted_round_trips(main_form& form, int count) {
    auto* dialog = form.dialogs().success();
    if (dialog == nullptr) {
        give_up("bench_round_trip", "no result window to close");
    }
    QEventLoop loop;
    auto* painted = new PaintStop(*dialog, loop);
    Timed timed = click_round_trips(*form.Command1, loop, count, [&] {
        dialog->cmd_queding->click();
        painted->arm();
    });
    delete painted;
    return timed;
}

void open_port(main_form& form, bool open) {
    if (form.MSComm1->port_open() != open) {
        QTest::mouseClick(form.open_comm, Qt::LeftButton);
    }
    if (form.MSComm1->port_open() != open) {
        give_up("bench_round_trip", "the window could not open or close the port");
    }
}

Timed minimal(const QString& device, int count, const char* mode, const char* sizes = "") {
    QStringList args = {device, QString::number(count), QLatin1String(mode)};
    if (*sizes != '\0') {
        args << QLatin1String(sizes);
    }
    return run_child(sibling("bench_minimal_window"), args, subject_core());
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
    QApplication app(argc, argv);
    const ConfigDir config;
    const Simulator simulator(config, {"--baud", "115200"}, [] { pin_to(kSimCore); });
    const QString device = QFile::symLinkTarget(config.ports_dir() + "/com1");

    main_form form;
    form.Combo3->setCurrentIndex(k115200Index);
    // Shown, as the operator has it, so repaints are paid for as they would be.
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        give_up("bench_round_trip", "the window was never shown");
    }
    open_port(form, true);
    shown_round_trips(form, kWarmUp);
    painted_round_trips(form, kWarmUp);
    open_port(form, false);
    bare_round_trips(device, kWarmUp);

    Timed window, window_painted, logged, small, small_sized, small_painted, bare;
    for (int block = 0; block < kBlocks; ++block) {
        open_port(form, true);
        window.add(shown_round_trips(form, each));
        window_painted.add(painted_round_trips(form, each));
        // The same with the traffic window open, showing every line as it comes.
        form.open_traffic_window();
        logged.add(shown_round_trips(form, each));
        form.traffic_window()->close();
        open_port(form, false);
        small.add(minimal(device, each, "shown"));
        small_sized.add(minimal(device, each, "shown", "window"));
        small_painted.add(minimal(device, each, "hidden"));
        bare.add(bare_round_trips(device, each));
    }
    rows("round trip", window, "window", small, "minimal Qt");
    emit_row("round trip median", "µs", "window", spread(window.samples).median, "bare pty",
             spread(bare.samples).median);
    emit_row("round trip, CPU time median", "µs", "window", median(window.cpu), "bare pty",
             median(bare.cpu));
    emit_row("round trip median", "µs", "window", spread(window.samples).median,
             "minimal Qt, captions at the window's sizes", spread(small_sized.samples).median);
    emit_row("round trip, CPU time median", "µs", "window", median(window.cpu),
             "minimal Qt, captions at the window's sizes", median(small_sized.cpu));
    rows("round trip to the result window's first paint", window_painted, "window", small_painted,
         "minimal Qt");
    emit_row("round trip median, traffic window", "µs", "open", spread(logged.samples).median,
             "closed", spread(window.samples).median);
    return 0;
}
