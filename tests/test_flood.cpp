// A megabyte of noise arriving at the open port of the real window: it must stay
// responsive, hold no more than a group's worth of bytes, show a result exactly for
// the eight-byte groups that pass the check, and put every byte in its record once.
#include <QRegularExpression>
#include <QTimer>

#include <random>
#include <thread>

#include "protocol/reply.h"
#include "tests/support/window.h"
#include "ui/traffic_window.h"

#include <QLabel>
#include <QPlainTextEdit>

using namespace tarvok::test;
using tarvok::ui::main_form;

namespace {

constexpr qsizetype kFloodBytes = qsizetype{1} << 20;
constexpr int kPlantedReplies = 200;
// The line raises its event once for every eight bytes waiting, and the window
// takes eight bytes each time, so between events fewer than eight may wait.
constexpr qint64 kMaxWaiting = 7;

// The window's contract: reading starts on the first byte and goes on in
// consecutive groups of eight, each judged on its own.
std::vector<bool> expected_results(const QByteArray& bytes) {
    std::vector<bool> results;
    for (qsizetype at = 0; at + 8 <= bytes.size(); at += 8) {
        const auto group = tarvok::protocol::frame_from(
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData() + at), 8));
        const auto verdict = tarvok::protocol::judge(group);
        if (tarvok::protocol::accepted(verdict)) {
            results.push_back(verdict == tarvok::protocol::Verdict::success);
        }
    }
    return results;
}

// Random bytes with replies planted in them, every other one off the group
// boundaries, where it must go unnoticed; or, with seed 0, nothing but replies, enough
// to fill the record.
QByteArray flood_bytes(std::uint32_t seed) {
    const auto reply = tarvok::protocol::make_reply(1, 0x44, true);
    if (seed == 0) {
        const auto count = static_cast<qsizetype>(tarvok::ui::Traffic::kMostEvents * 3 / 2);
        return QByteArray(reinterpret_cast<const char*>(reply.data()), 8).repeated(count);
    }
    std::mt19937 rng(seed);
    QByteArray bytes(kFloodBytes, Qt::Uninitialized);
    for (auto& byte : bytes) {
        byte = char(rng() & 0xFFU);
    }
    for (int i = 0; i < kPlantedReplies; ++i) {
        const auto group = qsizetype(rng() % std::uint32_t(kFloodBytes / 8 - 1));
        const qsizetype start = group * 8 + (i % 2 == 0 ? 0 : 1 + qsizetype(rng() % 7));
        const auto reply = tarvok::protocol::make_reply(1, 0x44, (rng() & 1U) != 0);
        std::copy(reply.begin(), reply.end(), bytes.begin() + start);
    }
    return bytes;
}

}  // namespace

class FloodTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { drop_offscreen_limits(); }

    void noise_flood_data() {
        QTest::addColumn<std::uint32_t>("seed");
        QTest::addColumn<int>("piece");    // the writer's pieces
        QTest::addColumn<bool>("paced");   // each piece only once the last was fetched
        QTest::addColumn<bool>("logged");  // with the traffic window open
        QTest::newRow("large pieces") << 1U << 4096 << false << false;
        QTest::newRow("small pieces") << 20240611U << 61 << false << false;
        QTest::newRow("small pieces, paced") << 7U << 23 << true << false;
        QTest::newRow("traffic window open") << 3U << 509 << false << true;
        QTest::newRow("nothing but replies, traffic window open") << 0U << 4096 << false << true;
    }
    void noise_flood() {
        QFETCH(std::uint32_t, seed);
        QFETCH(int, piece);
        QFETCH(bool, paced);
        QFETCH(bool, logged);
        WiredWindow w;
        QVERIFY(w.form.MSComm1->port_open());
        if (logged) {
            w.form.open_traffic_window();
        }
        qint64 events = 0;
        std::vector<bool> results;
        // Connected after the window's own handler: counted once it took its eight.
        connect(w.form.MSComm1, &tarvok::ui::MSComm::on_comm, this, [&] {
            events += w.form.MSComm1->comm_event() == tarvok::ui::CommEvent::receive ? 1 : 0;
        });
        connect(&w.form, &main_form::result_shown, this, [&](bool ok) { results.push_back(ok); });
        const auto taken = [&] { return events * 8 + w.form.MSComm1->in_buffer_count(); };
        // What reaches the record from here on, however the bytes came in pieces.
        const qint64 before = qint64(w.form.traffic().events().size()) + w.form.traffic().dropped();
        qint64 recorded = 0;
        qsizetype recorded_bytes = 0;
        connect(&w.form.traffic(), &tarvok::ui::Traffic::recorded, this,
                [&](const tarvok::ui::TrafficEvent& event) {
                    ++recorded;
                    recorded_bytes += event.bytes.size();
                });

        const QByteArray bytes = flood_bytes(seed);
        const std::vector<bool> expected = expected_results(bytes);
        QVERIFY2(expected.size() >= kPlantedReplies / 4, "the planted replies went missing");

        qint64 most_waiting = 0;
        int ticks_mid_flood = 0;
        QTimer ticker;
        ticker.setInterval(1);
        connect(&ticker, &QTimer::timeout, this, [&] {
            most_waiting = std::max(most_waiting, w.form.MSComm1->in_buffer_count());
            ticks_mid_flood += taken() > 0 && taken() < bytes.size() ? 1 : 0;
        });
        ticker.start();
        std::jthread writer([&](const std::stop_token& stop) {
            w.wire.write(bytes, piece, [&] {
                while (paced && w.wire.waiting_at_slave() > 0 && !stop.stop_requested()) {
                    std::this_thread::yield();
                }
                return !stop.stop_requested();
            });
        });
        QTRY_VERIFY_WITH_TIMEOUT(taken() >= bytes.size(), 60000);
        writer.join();
        ticker.stop();

        QCOMPARE(taken(), bytes.size());
        QCOMPARE(results, expected);
        QVERIFY2(most_waiting <= kMaxWaiting, qPrintable(QString::number(most_waiting)));
        QVERIFY2(ticks_mid_flood >= 3, "the event loop stalled during the flood");
        QVERIFY(shown_messages(&w.form).isEmpty());
        // Every byte is in the record once, as a frame or as junk; past kMostEvents the
        // record keeps the newest and counts the older ones it let go.
        const auto& record = w.form.traffic().events();
        const auto kept = tarvok::ui::Traffic::kMostEvents;
        QCOMPARE(recorded_bytes, bytes.size());
        QCOMPARE(qint64(record.size()), std::min(before + recorded, qint64(kept)));
        QCOMPARE(w.form.traffic().dropped() + qint64(record.size()), before + recorded);
        if (logged && w.form.traffic().dropped() > 0) {
            auto* log = qobject_cast<tarvok::ui::TrafficWindow*>(w.form.traffic_window());
            QTRY_VERIFY(log->dropped_note->text().contains(QRegularExpression(
                "^较早的 \\d{1,3}(,\\d{3})+ 条记录已丢弃，只保留最近 10,000 条")));
            QVERIFY(log->view->blockCount() <= int(kept));
        }
        // Still a working window: a button press goes out whole.
        click(w.form.Command1);
        QCOMPARE(to_hex(w.wire.read(8)), QByteArray("55 01 44 00 00 00 01 9B"));
    }
};

QTEST_MAIN(FloodTest)
#include "test_flood.moc"
