// A megabyte of noise arriving at the open port of the real window: it must stay
// responsive, keep its buffer small and show a result only for eight-byte groups
// that pass the check.
#include <QByteArray>
#include <QTest>
#include <QTimer>

#include <poll.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "tests/support/config_dir.h"
#include "tests/support/pty_pair.h"
#include "tests/support/ui_helpers.h"
#include "ui/main_form.h"

using namespace tarvok::test;
using tarvok::ui::main_form;

namespace {

constexpr qsizetype kFloodBytes = qsizetype{1} << 20;
constexpr int kPlantedReplies = 200;
// The line raises its event once for every eight bytes waiting, and the window
// takes eight bytes each time, so between events fewer than eight may wait.
constexpr qint64 kMaxWaiting = 7;
// Peak resident growth allowed for the whole flood. The window keeps nothing per
// byte, so this only has to cover allocator slack (and a sanitizer's quarantine).
constexpr long kMaxGrowthKiB = 64L * 1024;

// A pty whose master a writer thread may fill while the window reads the slave.
class FloodWire {
public:
    QString slave_path() const { return wire_.slave_path(); }

    // Writes every byte in pieces of 1 to `largest` bytes, waiting whenever the line
    // is full, and with `paced` also until the window has fetched the last piece, the
    // way a slow line hands over a few bytes at a time. Gives up when asked to stop.
    // Runs on its own thread.
    void write_all(const std::stop_token& stop, const QByteArray& bytes, std::uint32_t seed,
                   int largest, bool paced) const {
        std::mt19937 rng(seed);
        qsizetype done = 0;
        while (done < bytes.size() && !stop.stop_requested()) {
            while (paced && unfetched() > 0 && !stop.stop_requested()) {
                std::this_thread::yield();
            }
            const auto piece = std::min<qsizetype>(1 + qsizetype(rng() % std::uint32_t(largest)),
                                                   bytes.size() - done);
            const auto n = ::write(master_, bytes.constData() + done, size_t(piece));
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return;
            } else {
                pollfd pfd{master_, POLLOUT, 0};
                ::poll(&pfd, 1, 50);
            }
        }
    }

    // What the window wrote back, if anything, within `wait_ms`.
    QByteArray read_back(int wait_ms) const {
        QByteArray out;
        char buf[64];
        for (int waited = 0; waited < wait_ms && out.size() < 8; waited += 5) {
            QTest::qWait(5);
            const auto n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                out.append(buf, n);
            }
        }
        return out;
    }

private:
    // Bytes the kernel holds for the slave that the window has not fetched yet.
    int unfetched() const { return wire_.waiting_at_slave(); }

    PtyPair wire_;
    int master_ = wire_.master_fd();
};

std::uint8_t at(const QByteArray& bytes, qsizetype i) { return std::uint8_t(bytes.at(i)); }

// The window's contract as a model: reading starts on the first byte and goes on in
// consecutive groups of eight; a group starting 0x22 whose last byte is the sum of
// the other seven gives one result, success when bit 0 of byte 6 is set.
std::vector<bool> expected_results(const QByteArray& bytes) {
    std::vector<bool> results;
    for (qsizetype group = 0; group + 8 <= bytes.size(); group += 8) {
        unsigned sum = 0;
        for (qsizetype i = group; i < group + 7; ++i) {
            sum += at(bytes, i);
        }
        if (at(bytes, group) == 0x22 && at(bytes, group + 7) == (sum & 0xFFU)) {
            results.push_back((at(bytes, group + 6) & 1U) != 0);
        }
    }
    return results;
}

// Random bytes with replies planted in them, every other one off the group
// boundaries, where it must go unnoticed.
QByteArray flood_bytes(std::uint32_t seed) {
    std::mt19937 rng(seed);
    QByteArray bytes(kFloodBytes, Qt::Uninitialized);
    for (auto& byte : bytes) {
        byte = char(rng() & 0xFFU);
    }
    for (int i = 0; i < kPlantedReplies; ++i) {
        const auto group = qsizetype(rng() % std::uint32_t(kFloodBytes / 8 - 1));
        const qsizetype start = group * 8 + (i % 2 == 0 ? 0 : 1 + qsizetype(rng() % 7));
        const char reply[8] = {0x22, 0x01, 0x44, 0, 0, 0, char(rng() & 1U), 0};
        unsigned sum = 0;
        for (int k = 0; k < 7; ++k) {
            sum += std::uint8_t(reply[k]);
            bytes[start + k] = reply[k];
        }
        bytes[start + 7] = char(sum & 0xFFU);
    }
    return bytes;
}

// Resident memory now, in KiB; sampled during the flood, since the process-wide
// peak may have been set by an earlier row.
long resident_kib() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// What the window has taken off the line so far: eight bytes per receive event,
// plus whatever waits unread. Connected after the window's own handler, so each
// count is made once the handler has read its eight.
struct Intake {
    main_form& form;
    qint64 events = 0;
    std::vector<bool> results;

    explicit Intake(main_form& f) : form(f) {
        QObject::connect(form.MSComm1, &tarvok::serial::SerialLine::on_comm, [this] {
            events += form.MSComm1->comm_event() == tarvok::serial::CommEvent::receive ? 1 : 0;
        });
        QObject::connect(&form, &main_form::result_shown,
                         [this](bool success) { results.push_back(success); });
    }
    qint64 taken() const { return events * 8 + form.MSComm1->in_buffer_count(); }
};

}  // namespace

class FloodTest : public QObject {
    Q_OBJECT

private slots:
    void noise_flood_data() {
        QTest::addColumn<std::uint32_t>("seed");
        QTest::addColumn<int>("largest");  // the writer's pieces are 1 to this many bytes
        QTest::addColumn<bool>("paced");   // each piece only once the last was fetched
        QTest::newRow("large pieces") << 1U << 4096 << false;
        QTest::newRow("small pieces") << 20240611U << 61 << false;
        QTest::newRow("small pieces, paced") << 7U << 23 << true;
    }
    void noise_flood() {
        QFETCH(std::uint32_t, seed);
        QFETCH(int, largest);
        QFETCH(bool, paced);
        ConfigDir config;
        FloodWire wire;
        QVERIFY(config.link_port(1, wire.slave_path()));
        main_form form;
        click(form.open_comm);
        QVERIFY2(form.MSComm1->port_open(), qPrintable(shown_messages(&form).join('|')));
        Intake intake(form);

        const QByteArray bytes = flood_bytes(seed);
        const std::vector<bool> expected = expected_results(bytes);
        QVERIFY2(expected.size() >= kPlantedReplies / 4, "the planted replies went missing");

        const long resident_before = resident_kib();
        long most_resident = resident_before;
        qint64 most_waiting = 0;
        int ticks_mid_flood = 0;
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            most_resident = std::max(most_resident, resident_kib());
            most_waiting = std::max(most_waiting, form.MSComm1->in_buffer_count());
            const qint64 taken = intake.taken();
            ticks_mid_flood += taken > 0 && taken < bytes.size() ? 1 : 0;
        });
        ticker.start();

        std::jthread writer([&](const std::stop_token& stop) {
            wire.write_all(stop, bytes, seed, largest, paced);
        });
        QTRY_VERIFY_WITH_TIMEOUT(intake.taken() >= bytes.size(), 60000);
        QCOMPARE(intake.taken(), bytes.size());
        writer.join();
        ticker.stop();
        const long growth = most_resident - resident_before;
        qInfo("resident memory grew by up to %ld KiB; timer fired %d times mid-flood", growth,
              ticks_mid_flood);

        QCOMPARE(intake.results, expected);
        QCOMPARE(form.MSComm1->in_buffer_count(), bytes.size() % 8);
        QVERIFY2(most_waiting <= kMaxWaiting, qPrintable(QString::number(most_waiting)));
        QVERIFY2(ticks_mid_flood >= 3, "the event loop stalled during the flood");
        QVERIFY2(growth < kMaxGrowthKiB, qPrintable(QString::number(growth)));
        QVERIFY(shown_messages(&form).isEmpty());

        // Still a working window: a button press goes out whole.
        QVERIFY(form.MSComm1->port_open());
        click(form.Command1);
        QCOMPARE(wire.read_back(2000).toHex(' '), QByteArray("55 01 44 00 00 00 01 9b"));
    }
};

QTEST_MAIN(FloodTest)
#include "test_flood.moc"
