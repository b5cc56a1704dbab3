// `tarvokctl scan` of 256 addresses at one line, start to exit, against its wire-time
// bound (bus::scan_bound: every address waits its deadline, 16 bytes of wire time
// plus the reply margin), at 115200 and at 9600 baud. The far end is tarvok-sim
// pacing its replies as a real line would, with one module at address 1; the
// simulator runs on one core, tarvokctl on the other.
//
//   bench_scan
#include <QCoreApplication>

#include "bench/sim_wire.h"
#include "bus/scanner.h"

using namespace tarvok::bench;

namespace {

constexpr int kAddresses = 256;
constexpr int kScanWaitMs = 120'000;

// Seconds from start to exit; the scan must find the module at address 1 and no other.
double scan_seconds(int baud) {
    tarvok::testbed::Simulator simulator;
    start_far_end(simulator, {"--baud", QString::number(baud), "--pace"});
    const tarvok::testbed::Ended ctl =
        tarvok::testbed::run(QStringLiteral(TARVOKCTL_PATH),
                             {"--port", "1", "--baud", QString::number(baud), "--json", "scan",
                              "--addresses", QStringLiteral("0-%1").arg(kAddresses - 1)},
                             {.core = subject_core()}, kScanWaitMs);
    if (ctl.exit != 0) {
        give_up("bench_scan", "tarvokctl scan failed");
    }
    const QByteArray found = ctl.out.trimmed();
    if (!found.startsWith("{\"address\":1,") || found.contains('\n')) {
        give_up("bench_scan", "the scan did not find exactly the module at address 1");
    }
    return ctl.wall_us / 1e6;
}

double bound_seconds(int baud) {
    tarvok::bus::ScanPlan plan;
    plan.lines = {{std::uint32_t(baud), tarvok::protocol::Parity::none}};
    for (int a = 0; a < kAddresses; ++a) {
        plan.addresses.push_back(std::uint8_t(a));
    }
    return double(tarvok::bus::scan_bound(plan).count()) / 1000;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    pin_to(subject_core());
    QCoreApplication app(argc, argv);
    const ConfigDir config;
    for (const int baud : {115200, 9600}) {
        emit_row(QStringLiteral("scan of %1 addresses at %2 baud")
                     .arg(kAddresses)
                     .arg(baud)
                     .toStdString(),
                 "s", "tarvokctl", scan_seconds(baud), "wire-time bound", bound_seconds(baud));
    }
    return 0;
}
