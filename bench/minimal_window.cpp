// The yardstick for the window's round trip: the least a Qt Widgets program does for
// the same work. A button whose click writes the frame through QSerialPort; on
// readyRead, once eight bytes wait, it reads them and shows a label window. Run by
// bench_round_trip against the same simulator, timed as the window is.
//
//   bench_minimal_window <device> <round trips> shown|hidden [window]
//     shown:  the label window stays up; a round trip ends once it has been shown.
//     hidden: it is hidden before each press; a round trip ends at its first paint.
//     window: the captions at the window's sizes (the button 15 pt, the label 18 pt)
//             rather than Qt's default, so that as many glyph pixels are drawn.
// Prints "sample <µs> <CPU µs>" for each round trip.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>

#include <array>
#include <cstdlib>

#include "bench/click_round_trip.h"

using namespace tarvok::bench;

namespace {

constexpr int kWarmUp = 20;
// A setting to address 1, channel 1, not linked, as the window sends it by default.
constexpr std::array<char, 8> kCommand = {0x55, 0x01, 0x44, 0x00, 0x00, 0x00, 0x01, char(0x9B)};

// The sizes of the window's 修改 captions and of its result window's text.
constexpr double kButtonPoints = 15;
constexpr double kLabelPoints = 18;

QFont points(QFont font, double size) {
    font.setPointSizeF(size);
    return font;
}

[[noreturn]] void give_up(const char* why) {
    std::fprintf(stderr, "bench_minimal_window: %s\n", why);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        give_up("usage: bench_minimal_window <device> <round trips> shown|hidden [window]");
    }
    quiet_offscreen();
    QApplication app(argc, argv);
    const int count = std::max(1, std::atoi(argv[2]));
    const bool hidden = QByteArray(argv[3]) == "hidden";
    const bool window_sizes = argc == 5 && QByteArray(argv[4]) == "window";

    QWidget window;
    window.resize(533, 376);
    QPushButton button(QStringLiteral("修改"), &window);
    button.setGeometry(408, 160, 65, 25);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        give_up("the window was never shown");
    }
    QLabel result(QStringLiteral("修改成功"));
    result.resize(190, 134);
    if (window_sizes) {
        button.setFont(points(button.font(), kButtonPoints));
        result.setFont(points(result.font(), kLabelPoints));
    }

    QSerialPort port(QString::fromLocal8Bit(argv[1]));
    port.setBaudRate(QSerialPort::Baud115200);
    if (!port.open(QIODevice::ReadWrite)) {
        give_up("cannot open the port");
    }
    QEventLoop loop;
    QObject::connect(&button, &QPushButton::clicked, &port,
                     [&port] { port.write(kCommand.data(), kCommand.size()); });
    QObject::connect(&port, &QSerialPort::readyRead, &loop, [&] {
        if (port.bytesAvailable() < qint64(kCommand.size())) {
            return;
        }
        std::array<char, 8> reply{};
        port.read(reply.data(), reply.size());
        result.show();
        if (!hidden) {
            loop.exit(0);
        }
    });
    PaintStop painted(result, loop);
    const auto before = [&] {
        if (hidden) {
            result.hide();
            painted.arm();
        }
    };
    click_round_trips(button, loop, kWarmUp, before);
    const Timed timed = click_round_trips(button, loop, count, before);
    for (std::size_t i = 0; i < timed.samples.size(); ++i) {
        std::printf("sample %.3f %.3f\n", timed.samples[i], timed.cpu[i]);
    }
    return 0;
}
