// Round trip of one setting: a click on Command1 through the real window, serial
// line and pty to a running tarvok-sim and back to result_shown; beside it, the same
// frame written straight to the pty and the reply read back, against the same
// simulator in the same run; and the window's round trip with its traffic window
// open beside it closed. Both at 115200 baud, in alternating blocks so that
// drift in the machine's load falls on both alike.
//
//   bench_round_trip [round trips per subject, default 1000]
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <poll.h>
#include <sys/prctl.h>

#include <csignal>

#include <array>
#include <cstdlib>
#include <optional>

#include "bench/sim_wire.h"
#include "ui/main_form.h"
#include "ui/traffic_window.h"

using namespace tarvok::bench;
using tarvok::ui::main_form;

namespace {

constexpr int kBlocks = 4;
constexpr int kWarmUp = 20;
constexpr int kTimeoutMs = 2000;
constexpr int k115200Index = 7;
// What Command1 sends with the window's defaults: address 1, channel 1, not linked.

// Clicks Command1 `count` times, each time waiting for the result.
std::vector<double> window_round_trips(main_form& form, int count) {
    std::vector<double> samples;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&form, &main_form::result_shown, &loop, [&loop] { loop.exit(0); });
    QObject::connect(&guard, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        guard.start(kTimeoutMs);
        if (loop.exec() != 0) {
            give_up("bench_round_trip", "no result within the timeout");
        }
        samples.push_back(micros(Clock::now() - start));
    }
    guard.stop();
    QObject::disconnect(&form, &main_form::result_shown, &loop, nullptr);
    return samples;
}

void open_port(main_form& form, bool open) {
    if (form.MSComm1->port_open() != open) {
        QTest::mouseClick(form.open_comm, Qt::LeftButton);
    }
    if (form.MSComm1->port_open() != open) {
        give_up("bench_round_trip", "the window could not open or close the port");
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(kBlocks, std::atoi(argv[1])) : 1000;
    quiet_offscreen();
    // A reader that goes away early (| head) must not kill us before the simulator
    // is stopped and the temporary folder removed.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    const ConfigDir config;
    const Simulator simulator(config, {"--baud", "115200"});
    const QString device = QFile::symLinkTarget(config.ports_dir() + "/com1");

    main_form form;
    form.Combo3->setCurrentIndex(k115200Index);
    // Shown, as the operator has it, so repaints are paid for as they would be.
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        give_up("bench_round_trip", "the window was never shown");
    }
    open_port(form, true);
    window_round_trips(form, kWarmUp);
    open_port(form, false);
    bare_round_trips(device, kWarmUp);

    std::vector<double> window;
    std::vector<double> logged;
    std::vector<double> bare;
    for (int block = 0; block < kBlocks; ++block) {
        open_port(form, true);
        append(window, window_round_trips(form, count / kBlocks));
        // The same with the traffic window open, showing every line as it comes.
        form.open_traffic_window();
        append(logged, window_round_trips(form, count / kBlocks));
        form.traffic_window()->close();
        open_port(form, false);
        append(bare, bare_round_trips(device, count / kBlocks));
    }
    const Spread w = spread(window);
    const Spread l = spread(logged);
    const Spread b = spread(bare);
    emit_result("round trip median", "window", w.median, "us");
    emit_result("round trip p99", "window", w.p99, "us");
    emit_result("round trip median", "bare pty", b.median, "us");
    emit_result("round trip p99", "bare pty", b.p99, "us");
    emit_result("round trip median, traffic window", "open", l.median, "us");
    emit_result("round trip median, traffic window", "closed", w.median, "us");
    emit_result("round trips", "each", double(window.size()), "");
    return 0;
}
