// The yardstick for tarvokctl: the least a Qt console program does to send a plan one
// setting at a time. It reads the plan's lines ("address,mode,channel,mode"), writes
// each frame through QSerialPort and, once the eight bytes of the reply are in, sends
// the next: after `pause` ms, the quiet the line needs before another frame (what
// tarvokctl's bus engine keeps), or at once with 0. Run by bench_cli_plan against the
// same simulator, with tarvokctl's plans.
//
//   bench_minimal_cli <device> <plan file> <pause ms>
// Prints "sample <µs>" for each setting, from its frame going out to its reply read.
#include <QCoreApplication>
#include <QFile>
#include <QSerialPort>
#include <QTimer>

#include <cstdio>
#include <vector>

#include "bench/bench_support.h"
#include "protocol/request.h"

using namespace tarvok::bench;
using namespace tarvok::protocol;

namespace {

[[noreturn]] void give_up(const char* why) {
    std::fprintf(stderr, "bench_minimal_cli: %s\n", why);
    std::exit(1);
}

Mode mode_named(const QByteArray& alias) {
    for (const auto& entry : kModes) {
        if (alias == entry.alias.data()) {
            return entry.value;
        }
    }
    give_up("unknown mode in the plan");
}

std::vector<Frame> read_plan(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        give_up("cannot read the plan");
    }
    file.readLine();  // the header
    std::vector<Frame> frames;
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine()) {
        const QList<QByteArray> f = line.trimmed().split(',');
        if (f.size() != 4 || f[1] != "mode") {
            give_up("a plan line is not a mode setting");
        }
        frames.push_back(encode(std::uint8_t(f[0].toUInt()),
                                ModeSetting{std::uint8_t(f[2].toUInt()), mode_named(f[3])}));
    }
    return frames;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        give_up("usage: bench_minimal_cli <device> <plan file> <pause ms>");
    }
    const int pause_ms = std::atoi(argv[3]);
    QCoreApplication app(argc, argv);
    const std::vector<Frame> frames = read_plan(argv[2]);
    QSerialPort port(QString::fromLocal8Bit(argv[1]));
    port.setBaudRate(QSerialPort::Baud115200);
    if (!port.open(QIODevice::ReadWrite)) {
        give_up("cannot open the port");
    }
    std::vector<double> samples;
    samples.reserve(frames.size());
    Clock::time_point sent;
    const auto send_next = [&] {
        const Frame& frame = frames[samples.size()];
        sent = Clock::now();
        port.write(reinterpret_cast<const char*>(frame.data()), qint64(frame.size()));
    };
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
        if (port.bytesAvailable() < qint64(kFrameSize)) {
            return;
        }
        std::array<char, kFrameSize> reply{};
        port.read(reply.data(), reply.size());
        samples.push_back(micros(Clock::now() - sent));
        if (samples.size() == frames.size()) {
            QCoreApplication::quit();
        } else if (pause_ms > 0) {
            QTimer::singleShot(pause_ms, Qt::PreciseTimer, &port, send_next);
        } else {
            send_next();
        }
    });
    if (frames.empty()) {
        return 0;
    }
    send_next();
    QCoreApplication::exec();
    for (const double sample : samples) {
        std::printf("sample %.3f\n", sample);
    }
    return 0;
}
