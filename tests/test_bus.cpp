// tarvokctl as a process against a scripted far end on a real pty, for what only a
// process shows: signals (one lets the exchange in flight end and sends nothing more,
// a second ends the program at once), a line that never goes quiet, and output that
// cannot be written or is watched by a terminal. The engine's rules themselves are
// tested clock-free in test_engine.
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <csignal>
#include <memory>

#include "testbed/child.h"
#include "testbed/config_dir.h"
#include "tests/support/pty_far_end.h"
#include "tests/support/watched_pty.h"

using namespace tarvok;

namespace {

constexpr int kWaitMs = 30000;  // only ever reached when something is wrong

// One run of tarvokctl on port 1 with the plan's lines, standard output to `out`
// (empty: a file of its own).
struct Run {
    testbed::ConfigDir config;
    test::WatchedPty wire;
    std::unique_ptr<testbed::Child> ctl;

    bool start(const QStringList& lines, const QStringList& args, const QString& out = {}) {
        QFile plan(config.root() + "/plan.csv");
        if (!config.link_port(1, wire.slave_path()) || !plan.open(QIODevice::WriteOnly))
            return false;
        plan.write(("address,setting,arguments\n" + lines.join('\n') + '\n').toUtf8());
        plan.close();
        testbed::Launch launch;
        launch.output_to = out;
        ctl = std::make_unique<testbed::Child>(
            TARVOKCTL_PATH, QStringList{"--port", "1", "--json"} + args + QStringList{"apply", plan.fileName()},
            launch);
        return true;
    }
    testbed::Ended finish() { return ctl->finish(kWaitMs, testbed::Waiting::turning); }
};

}  // namespace

using tarvok::test::PtyScript;
Q_DECLARE_METATYPE(PtyScript)

class BusTest : public QObject {
    Q_OBJECT

private slots:
    void runs_data() {
        QTest::addColumn<QStringList>("plan");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<PtyScript>("script");
        QTest::addColumn<QList<int>>("signals_sent");  // once the first frame was heard
        QTest::addColumn<bool>("full_disk");           // standard output to /dev/full
        QTest::addColumn<QStringList>("outcomes");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QString>("said");  // a piece of standard error
        QTest::addColumn<int>("exit");

        const QStringList one{"1,mode,3,自锁"};
        const QStringList four{"1,mode,1,自锁", "1,mode,2,自锁", "1,mode,3,自锁", "1,mode,4,自锁"};
        QTest::newRow("Ctrl-C: the frame in flight ends, nothing more goes out")
            << four << QStringList{} << PtyScript{60} << QList<int>{SIGINT} << false
            << QStringList{"done", "not-sent", "not-sent", "not-sent"} << 1
            << "已被 Ctrl-C（SIGINT）停止" << 130;
        QTest::newRow("a line that never goes quiet after the reply")
            << one << QStringList{} << PtyScript{5, 0, false, -1, 0, 4} << QList<int>{} << false << QStringList{"done"}
            << 1 << "" << 0;
        QTest::newRow("the same, SIGTERM")
            << one << QStringList{} << PtyScript{5, 0, false, -1, 0, 4} << QList<int>{SIGTERM} << false
            << QStringList{"done"} << 1 << "" << 143;
        QTest::newRow("silence, Ctrl-C twice: no waiting for the reply")
            << one << QStringList{"--timeout", "20000"} << PtyScript{-1} << QList<int>{SIGINT, SIGINT}
            << false << QStringList{"no-reply"} << 1 << "再次收到信号后立即结束" << 130;
        QTest::newRow("standard output to a full disk")
            << one << QStringList{} << PtyScript{} << QList<int>{} << true << QStringList{} << 1
            << "写出结果失败" << 74;
    }
    void runs() {
        QFETCH(QStringList, plan);
        QFETCH(QStringList, args);
        QFETCH(PtyScript, script);
        QFETCH(QList<int>, signals_sent);
        QFETCH(bool, full_disk);
        Run run;
        test::PtyFarEnd far(run.wire, script);
        QVERIFY(run.start(plan, args, full_disk ? QStringLiteral("/dev/full") : QString()));
        if (!signals_sent.isEmpty()) {
            QVERIFY(QTest::qWaitFor([&] { return far.frames > 0; }, kWaitMs));
            for (qsizetype i = 0; i < signals_sent.size(); ++i) {
                // Signals of one kind do not queue: the next goes once the last was taken.
                const bool taken = i == 0 || QTest::qWaitFor([&] {
                    return run.ctl->errors_so_far().contains("收到信号");
                }, kWaitMs);
                QVERIFY(taken);
                run.ctl->signal(signals_sent[i]);
            }
        }
        const testbed::Ended ended = run.finish();
        QStringList outcomes;
        for (const QByteArray& line : ended.out_lines())
            outcomes << QJsonDocument::fromJson(line).object().value("outcome").toString();
        const QString& errors = ended.errors;
        QTEST(outcomes, "outcomes");
        QTEST(ended.exit, "exit");
        QTEST(far.frames, "frames");
        QFETCH(QString, said);
        QVERIFY2(errors.contains(said), qPrintable(errors));
    }

    // A terminal on standard output: with --json it still gets JSON objects only.
    void json_to_a_terminal() {
        Run run;
        test::PtyFarEnd far(run.wire, PtyScript{});
        const test::WatchedPty terminal;
        QVERIFY(run.start({"1,mode,1,自锁", "1,mode,2,自锁"}, {}, terminal.slave_path()));
        QCOMPARE(run.finish().exit, 0);
        const QList<QByteArray> lines = terminal.read(2).split('\n');
        int objects = 0;
        for (const QByteArray& line : lines) {
            const QByteArray text = line.trimmed();
            if (text.isEmpty()) continue;
            QVERIFY2(QJsonDocument::fromJson(text).isObject(), text.constData());
            ++objects;
        }
        QCOMPARE(objects, 2);
    }
};

QTEST_GUILESS_MAIN(BusTest)
#include "test_bus.moc"
