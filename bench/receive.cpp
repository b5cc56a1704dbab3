// Throughput of the window's receive path over a pty: random bytes (what a wrong
// baud rate looks like) and back-to-back valid replies, each result shown. Beside
// them, in the same run, a plain read() loop on the same pty: what the line itself
// carries.
//
//   bench_receive [MiB of random bytes per round, default 16]
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "bench/bench_support.h"
#include "testbed/pty_pair.h"
#include "ui/main_form.h"

using namespace tarvok::bench;
using tarvok::testbed::PtyPair;
using tarvok::ui::CommEvent;
using tarvok::ui::main_form;
using tarvok::ui::MSComm;

namespace {

constexpr int kRounds = 3;
constexpr int kReplies = 100'000;
constexpr auto kTimeout = std::chrono::seconds(120);

[[noreturn]] void give_up(const char* why) {
    std::fprintf(stderr, "bench_receive: %s\n", why);
    std::exit(1);
}

QByteArray random_bytes(qsizetype size) {
    std::mt19937 rng(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (auto& byte : bytes) {
        byte = char(rng() & 0xFFU);
    }
    return bytes;
}

// Replies taking turns between success and failure, so both windows stay busy.
QByteArray replies(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        const char status = char(i & 1);
        const char frame[8] = {0x22, 0x01, 0x44, 0, 0, 0, status, char(0x67 + status)};
        bytes.append(frame, 8);
    }
    return bytes;
}

// From a thread of its own: no event loop to turn between pieces.
void write_all(const PtyPair& pty, const QByteArray& bytes) {
    pty.write(bytes, 4096, [] { return true; });
}

// Bytes per second for the window to take `bytes` off the line.
double window_rate(main_form& form, const PtyPair& pty, const QByteArray& bytes) {
    qint64 events = 0;
    const auto counter = QObject::connect(form.MSComm1, &MSComm::on_comm, [&] {
        events += form.MSComm1->comm_event() == CommEvent::receive ? 1 : 0;
    });
    const auto start = Clock::now();
    std::thread writer(write_all, std::cref(pty), std::cref(bytes));
    while (events * 8 + form.MSComm1->in_buffer_count() < bytes.size()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (Clock::now() - start > kTimeout) {
            give_up("the window did not take all bytes in time");
        }
    }
    const double seconds = micros(Clock::now() - start) / 1e6;
    writer.join();
    QObject::disconnect(counter);
    form.MSComm1->discard_input();
    return double(bytes.size()) / seconds;
}

// Bytes per second for a plain reader of the pty's slave.
double bare_rate(const PtyPair& pty, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(pty.slave_path()).constData(), O_RDONLY | O_NOCTTY);
    if (fd < 0) {
        give_up("cannot open the pty directly");
    }
    std::vector<char> buffer(65536);
    qsizetype got = 0;
    const auto start = Clock::now();
    std::thread writer(write_all, std::cref(pty), std::cref(bytes));
    while (got < bytes.size()) {
        const auto n = ::read(fd, buffer.data(), buffer.size());
        if (n <= 0) {
            give_up("reading the pty failed");
        }
        got += n;
    }
    const double seconds = micros(Clock::now() - start) / 1e6;
    writer.join();
    ::close(fd);
    return double(bytes.size()) / seconds;
}

void set_port_open(main_form& form, bool open) {
    if (form.MSComm1->port_open() != open) {
        QTest::mouseClick(form.open_comm, Qt::LeftButton);
    }
    if (form.MSComm1->port_open() != open) {
        give_up("the window could not open or close the port");
    }
}

}  // namespace

int main(int argc, char** argv) {
    const qsizetype mib = argc > 1 ? std::max(1, std::atoi(argv[1])) : 16;
    quiet_offscreen();
    QApplication app(argc, argv);
    const ConfigDir config;
    const PtyPair pty;
    if (!config.link_port(1, pty.slave_path())) {
        give_up("cannot link port 1");
    }
    main_form form;
    // Shown, as the operator has it, so repaints are paid for as they would be.
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        give_up("the window was never shown");
    }
    const QByteArray noise = random_bytes(mib << 20);
    const QByteArray answers = replies(kReplies);

    std::vector<double> noise_rates;
    std::vector<double> reply_rates;
    std::vector<double> bare_rates;
    for (int round = 0; round < kRounds; ++round) {
        set_port_open(form, true);
        noise_rates.push_back(window_rate(form, pty, noise));
        reply_rates.push_back(window_rate(form, pty, answers));
        set_port_open(form, false);
        bare_rates.push_back(bare_rate(pty, noise));
    }
    const double mb = 1e6;
    emit_row("receive random bytes", "MB/s", "window", median(noise_rates) / mb, "bare pty read",
             median(bare_rates) / mb);
    emit_row("receive valid replies", "MB/s", "window", median(reply_rates) / mb);
    emit_row("receive valid replies", "replies/s", "window", median(reply_rates) / 8);
    return 0;
}
