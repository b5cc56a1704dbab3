// The bus engine through tarvokctl, against a scripted far end on a real pty: the
// frames that went out and when, each plan line's outcome, and what was said about
// replies that answered nothing. At 9600 baud the deadline is 117 ms, a reply's gap
// about 24 ms and the settle after a missed deadline another 117 ms.
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <csignal>

#include "protocol/reply.h"
#include "testbed/child.h"
#include "testbed/config_dir.h"
#include "testbed/pty_pair.h"

using namespace tarvok;

namespace {

constexpr int kWaitMs = 30000;  // only ever reached when something is wrong
constexpr int kDeadlineMs = 117;

// How the far end answers each command frame it hears.
struct Script {
    int delay_ms = 5;          // to the reply's first byte; -1: silence
    int trickle_ms = 0;        // between the reply's bytes
    int echo = 0;              // 1: the adapter's echo first; 2: a garbled one
    int twice_ms = -1;         // a second reply this long after the first
    int other_address = 0;     // the reply names the address plus this
    int refuse_channel = 0;    // a mode frame for this channel is refused
    int answered_frames = 99;  // frames answered, from the first
};

// The far end: notes when each command frame arrives and when each reply was being
// written, and answers by its script.
class FarEnd : public QObject {
public:
    FarEnd(const testbed::PtyPair& wire, Script script)
        : wire_(wire), script_(script), notifier_(wire.master_fd(), QSocketNotifier::Read) {
        clock_.start();
        connect(&notifier_, &QSocketNotifier::activated, this, &FarEnd::hear);
    }
    QList<qint64> frames_at;                   // ms since start
    QList<std::pair<qint64, qint64>> replies;  // first and last byte written

private:
    void hear() {
        char buf[256];
        for (ssize_t n; (n = ::read(wire_.master_fd(), buf, sizeof buf)) > 0;)
            pending_.insert(pending_.end(), buf, buf + n);
        static constexpr std::array<std::uint8_t, 1> kStart{protocol::kCommandStart};
        for (auto scan = protocol::scan_frame(pending_, kStart); scan.frame;
             scan = protocol::scan_frame(pending_, kStart)) {
            pending_.erase(pending_.begin(), pending_.begin() + scan.skip + 8);
            frames_at << clock_.elapsed();
            answer(*scan.frame);
        }
    }
    // Writes the reply's bytes from `first` on, after `ms`.
    void write_at(int ms, const QByteArray& reply, int first, int count) {
        QTimer::singleShot(ms, Qt::PreciseTimer, this, [this, reply, first, count] {
            if (first == 0) replies.append({clock_.elapsed(), -1});
            wire_.write(reply.mid(first, count), 8, [] { return true; });
            if (first + count == 8) replies.back().second = clock_.elapsed();
        });
    }
    void write_reply(int ms, const QByteArray& reply) {
        if (script_.trickle_ms == 0) return write_at(ms, reply, 0, 8);
        for (int i = 0; i < 8; ++i) write_at(ms + i * script_.trickle_ms, reply, i, 1);
    }
    void answer(protocol::Frame frame) {
        QByteArray echo(reinterpret_cast<const char*>(frame.data()), 8);
        if (script_.echo == 2) echo[4] = char(echo[4] ^ 0x10);
        if (script_.echo) wire_.write(echo, 8, [] { return true; });
        if (script_.delay_ms < 0 || answered_++ >= script_.answered_frames) return;
        const bool refuse = frame[2] == 0x44 && frame[6] == script_.refuse_channel;
        const auto reply =
            protocol::make_reply(std::uint8_t(frame[1] + script_.other_address), frame[2], !refuse);
        const QByteArray bytes(reinterpret_cast<const char*>(reply.data()), 8);
        write_reply(script_.delay_ms, bytes);
        if (script_.twice_ms >= 0)
            write_reply(script_.delay_ms + 7 * script_.trickle_ms + script_.twice_ms, bytes);
    }

    const testbed::PtyPair& wire_;
    Script script_;
    QSocketNotifier notifier_;
    QElapsedTimer clock_;
    std::vector<std::uint8_t> pending_;
    int answered_ = 0;
};

}  // namespace

Q_DECLARE_METATYPE(Script)

class BusTest : public QObject {
    Q_OBJECT

private slots:
    void exchanges_data() {
        QTest::addColumn<QStringList>("plan");  // lines after the header
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("signo");  // sent once the first result is out
        QTest::addColumn<QStringList>("outcomes");
        QTest::addColumn<QList<int>>("least_apart");  // each frame at least this long after
                                                      // the one before, in ms
        QTest::addColumn<QString>("said");            // a piece of standard error
        QTest::addColumn<int>("exit");

        const QStringList one{"1,mode,3,自锁"};
        const QStringList two{"1,mode,1,自锁", "1,mode,2,自锁"};
        // Deadline and settle, less what reading the far end's clock may lose.
        const int settle = 2 * kDeadlineMs - 30;
        QTest::newRow("reply at 1.3 deadlines")
            << one << Script{152} << 0 << QStringList{"done"} << QList<int>{} << "" << 0;
        QTest::newRow("bytes 40 ms apart")
            << one << Script{10, 40} << 0 << QStringList{"done"} << QList<int>{} << "" << 0;
        QTest::newRow("echo, then the reply")
            << two << Script{20, 0, 1} << 0 << QStringList{"done", "done"} << QList<int>{0} << ""
            << 0;
        QTest::newRow("garbled echo") << one << Script{20, 0, 2} << 0 << QStringList{"done"}
                                      << QList<int>{} << "回显与发送的帧不一致" << 0;
        // The second reply comes after the reply's gap, when the next frame, to the same
        // address and command, could already have gone out.
        QTest::newRow("two replies, the next line silent")
            << two << Script{5, 0, 0, 60, 0, 0, 1} << 0 << QStringList{"done", "no-reply"}
            << QList<int>{0, settle} << "重复的回复" << 2;
        QTest::newRow("another address answers")
            << one << Script{5, 0, 0, -1, 1} << 0 << QStringList{"no-reply"} << QList<int>{settle}
            << "收到不属于第 2 行 · 地址 1的回复 22 02 44" << 2;
        QTest::newRow("silence") << one << Script{-1} << 0 << QStringList{"no-reply"}
                                 << QList<int>{settle} << "" << 2;
        // The slow module at 5 and no module 6: line 6 is never credited with 5's reply.
        QTest::newRow("slow module, then none")
            << QStringList{"5,mode,3,自锁", "6,mode,3,自锁"} << Script{200, 0, 0, -1, 0, 0, 1} << 0
            << QStringList{"done", "no-reply"} << QList<int>{settle, settle} << "" << 2;
        QTest::newRow("150 ms late, channel 2 refused, no retries")
            << QStringList{"1,mode,1,自锁", "1,mode,2,自锁", "1,mode,3,自锁"}
            << Script{150, 0, 0, -1, 0, 2} << 0 << QStringList{"done", "refused", "done"}
            << QList<int>{150, 150} << "" << 1;
        QTest::newRow("Ctrl-C mid-plan")
            << QStringList{"1,mode,1,自锁", "1,mode,2,自锁", "1,mode,3,自锁", "1,mode,4,自锁"}
            << Script{60} << int(SIGINT)
            << QStringList{"done", "not-sent", "not-sent", "not-sent"} << QList<int>{}
            << "已被 Ctrl-C（SIGINT）停止" << 130;
    }
    void exchanges() {
        QFETCH(QStringList, plan);
        QFETCH(Script, script);
        QFETCH(int, signo);
        const testbed::ConfigDir config;
        const testbed::PtyPair wire;
        QVERIFY(config.link_port(1, wire.slave_path()));
        QFile file(config.root() + "/plan.csv");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(("address,setting,arguments\n" + plan.join('\n') + '\n').toUtf8());
        file.close();
        FarEnd far(wire, script);
        const QStringList retries =
            plan.size() == 3 ? QStringList{"--retries", "0"} : QStringList{};
        // The far end answers on this thread's event loop, which turns while it runs.
        testbed::Child ctl(TARVOKCTL_PATH, QStringList{"--port", "1", "--json"} + retries +
                                               QStringList{"apply", file.fileName()});
        if (signo != 0 && ctl.wait_for_line(kWaitMs)) ctl.signal(signo);
        const testbed::Ended ended = ctl.finish(kWaitMs, testbed::Waiting::turning);
        QStringList outcomes;
        for (const QByteArray& line : ended.out_lines())
            outcomes << QJsonDocument::fromJson(line).object().value("outcome").toString();
        QTEST(outcomes, "outcomes");
        QTEST(ended.exit, "exit");
        QFETCH(QString, said);
        QVERIFY2(ended.errors.contains(said), qPrintable(ended.errors));
        QFETCH(QList<int>, least_apart);
        QCOMPARE(far.frames_at.size(), least_apart.size() + 1);
        for (qsizetype i = 1; i < far.frames_at.size(); ++i)
            QVERIFY2(far.frames_at[i] - far.frames_at[i - 1] >= least_apart[i - 1],
                     qPrintable(QStringLiteral("frame %1 after %2 ms")
                                    .arg(i)
                                    .arg(far.frames_at[i] - far.frames_at[i - 1])));
        // Nothing went out while a reply was being written.
        for (const qint64 at : far.frames_at)
            for (const auto& [first, last] : far.replies)
                QVERIFY2(at <= first || (last >= 0 && at > last),
                         qPrintable(QStringLiteral("frame at %1 ms inside a reply %2–%3")
                                        .arg(at)
                                        .arg(first)
                                        .arg(last)));
    }
};

QTEST_GUILESS_MAIN(BusTest)
#include "test_bus.moc"
