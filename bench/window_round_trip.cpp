// The window's side of bench_round_trip, run as a fresh process for each block just
// as its minimal Qt yardstick is: on this virtual machine the same work costs up to
// three times more CPU time in one process than in the next, for as long as each
// lives, so both sides are sampled over as many processes.
//
//   bench_window_round_trip <round trips> shown|hidden|traffic
//     shown:   a click on Command1 until result_shown; the result window stays up.
//     hidden:  the result window dismissed with its own 确定 before each press; a
//              round trip ends at its first paint.
//     traffic: as shown, with the traffic window open.
// Prints "sample <µs> <CPU µs>" for each round trip.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include "bench/click_round_trip.h"
#include "ui/main_form.h"
#include "ui/traffic_window.h"

using namespace tarvok::bench;
using tarvok::ui::main_form;

namespace {

constexpr int kWarmUp = 20;
constexpr int k115200Index = 7;

[[noreturn]] void give_up(const char* why) {
    std::fprintf(stderr, "bench_window_round_trip: %s\n", why);
    std::exit(1);
}

Timed shown_round_trips(main_form& form, int count) {
    QEventLoop loop;
    const auto done =
        QObject::connect(&form, &main_form::result_shown, &loop, [&loop] { loop.exit(0); });
    Timed timed = click_round_trips(*form.Command1, loop, count);
    QObject::disconnect(done);
    return timed;
}

Timed hidden_round_trips(main_form& form, int count) {
    auto* dialog = form.dialogs().success();
    if (dialog == nullptr) {
        give_up("no result window to close");
    }
    QEventLoop loop;
    PaintStop painted(*dialog, loop);
    return click_round_trips(*form.Command1, loop, count, [&] {
        dialog->cmd_queding->click();
        painted.arm();
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        give_up("usage: <round trips> shown|hidden|traffic");
    }
    quiet_offscreen();
    QApplication app(argc, argv);
    const int count = std::max(1, std::atoi(argv[1]));
    const QByteArray mode = argv[2];

    main_form form;
    form.Combo3->setCurrentIndex(k115200Index);
    // Shown, as the operator has it, so repaints are paid for as they would be.
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        give_up("the window was never shown");
    }
    QTest::mouseClick(form.open_comm, Qt::LeftButton);
    if (!form.MSComm1->port_open()) {
        give_up("the window could not open the port");
    }
    shown_round_trips(form, kWarmUp);
    Timed timed;
    if (mode == "hidden") {
        hidden_round_trips(form, kWarmUp);
        timed = hidden_round_trips(form, count);
    } else {
        if (mode == "traffic") {
            form.open_traffic_window();
            shown_round_trips(form, kWarmUp);
        }
        timed = shown_round_trips(form, count);
    }
    for (std::size_t i = 0; i < timed.samples.size(); ++i) {
        std::printf("sample %.3f %.3f\n", timed.samples[i], timed.cpu[i]);
    }
    return 0;
}
