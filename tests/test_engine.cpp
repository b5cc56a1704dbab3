// The bus engine and the plan runner against a far end in a box (tests/support/far_end.h)
// on a clock that moves only from event to event: each plan's outcomes, and what the
// engine may never do whatever the far end does: claim a setting the module did not
// answer, prove a line it did not answer at, send while a reply is arriving, or send
// after a stop. At 9600 baud the deadline D is 117 ms, the gap 24.2 ms and a module's
// first reply is watched for 3 D before a frame with its key goes out again.
#include <QTest>

#include "plan/runner.h"
#include "protocol/scan.h"
#include "tests/support/far_end.h"

using namespace tarvok;
using test::Script;

namespace {

constexpr auto kLimit = std::chrono::seconds(60);

// "1 mode 3 1" (address, setting, channel, mode), "1 power 3 1", "1 line 19200 even".
plan::PlanStep step_of(const QString& text, int line) {
    const QStringList w = text.split(' ');
    plan::PlanStep s;
    s.line = line;
    s.address = static_cast<std::uint8_t>(w[0].toInt());
    const auto n = static_cast<std::uint8_t>(w[2].toInt());
    if (w[1] == "mode") {
        s.request = protocol::ModeSetting{n, protocol::Mode(w[3].toInt())};
    } else if (w[1] == "power") {
        s.request = protocol::PowerOnSetting{n, protocol::PowerOn(w[3].toInt())};
    } else {
        const auto parity = w[3] == "even" ? protocol::Parity::even : protocol::Parity::none;
        s.request = protocol::LineSetting{w[2].toUInt(), parity};
    }
    return s;
}

struct Collector : plan::RunListener {
    void step_started(std::size_t, std::size_t) override {}
    void step_finished(const plan::StepResult&) override { ++finished; }
    void remarked(const plan::Remark&) override {}
    void run_finished(plan::RunEnd how) override { end = how; }
    int finished = 0;
    std::optional<plan::RunEnd> end;
};

QStringList mode_plan(int count) {
    QStringList plan;
    for (int channel = 1; channel <= count; ++channel) {
        plan << QStringLiteral("1 mode %1 %2").arg(channel).arg(channel % 4);
    }
    return plan;
}

QStringList repeat(const QString& word, int count) {
    QStringList words;
    for (int i = 0; i < count; ++i) {
        words << word;
    }
    return words;
}

}  // namespace

Q_DECLARE_METATYPE(Script)

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    void plans_data() {
        QTest::addColumn<QStringList>("plan");
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("retries");
        // Stop once this many results are in; negative: once this many frames were
        // heard; 0: never.
        QTest::addColumn<int>("stop_after");
        QTest::addColumn<QStringList>("outcomes");
        QTest::addColumn<int>("most_ms");    // the run's length at most, when not 0
        QTest::addColumn<QList<int>>("each");  // each frame's delay in turn, when not empty

        const QStringList one{"1 mode 3 1"};
        const QStringList two{"1 mode 1 1", "1 mode 2 2"};
        const QStringList three{"1 mode 1 1", "1 mode 2 2", "1 mode 3 3"};
        const QStringList lines{"1 line 19200 none", "1 line 38400 even"};
        // Prompt and once: after the first reply's watch, only a gap a setting.
        // 1.3 x 32 x (16 bytes at 9600 + 3 ms + the gap) = 1826 ms.
        QTest::newRow("32 settings, prompt and once")
            << mode_plan(32) << Script{} << 1 << 0 << repeat("done", 32) << 1826 << QList<int>{};
        QTest::newRow("reply at 1.3 D") << one << Script{152} << 1 << 0 << QStringList{"done"} << 0 << QList<int>{};
        QTest::newRow("bytes 40 ms apart")
            << one << Script{10, 40} << 1 << 0 << QStringList{"done"} << 0 << QList<int>{};
        QTest::newRow("echo") << two << Script{20, 0, 1} << 1 << 0 << repeat("done", 2) << 0 << QList<int>{};
        QTest::newRow("garbled echo") << one << Script{20, 0, 2} << 1 << 0 << QStringList{"done"} << 0 << QList<int>{};
        QTest::newRow("another address answers")
            << one << Script{5, 0, 0, -1, 1} << 1 << 0 << QStringList{"no-reply"} << 0 << QList<int>{};
        QTest::newRow("silence") << one << Script{-1} << 1 << 0 << QStringList{"no-reply"} << 0 << QList<int>{};
        QTest::newRow("channel 2 refused, 150 ms late, no retries")
            << three << Script{150, 0, 0, -1, 0, 2} << 0 << 0
            << QStringList{"done", "refused", "done"} << 0 << QList<int>{};
        // Copies of each reply, the module answering only its first two frames: the
        // third line never gets a copy of another line's reply counted as its own.
        for (const int copy : {60, 150, 200, 300, 340}) {
            QTest::addRow("copy %d ms later, two frames answered", copy)
                << three << Script{1, 0, 0, copy, 0, 0, 2} << 1 << 0
                << QStringList{"done", "done", "no-reply"} << 0 << QList<int>{};
        }
        // A slow module answering its first two frames: the second line never gets
        // the first line's retried frame's reply.
        for (const int delay : {234, 300, 351, 468}) {
            const bool retried = delay > 234;
            QTest::addRow("reply %d ms after each frame, two answered", delay)
                << two << Script{delay, 0, 0, -1, 0, 0, 2} << 1 << 0
                << QStringList{"done", retried ? "no-reply" : "done"} << 0 << QList<int>{};
        }
        QTest::newRow("line changes, each reply copied 150 ms later")
            << lines << Script{1, 0, 0, 150} << 1 << 0 << QStringList{"done", "no-reply"} << 0 << QList<int>{};
        QTest::newRow("a line change not answered at the new line")
            << QStringList{"1 line 19200 even"} << Script{1, 0, 0, -1, 0, 0, 1} << 1 << 0
            << QStringList{"unconfirmed"} << 0 << QList<int>{};
        QTest::newRow("a line that babbles after the reply")
            << one << Script{1, 0, 0, -1, 0, 0, 99, 4, 60'000} << 1 << 0 << QStringList{"done"}
            << 10 * 117 + 30 << QList<int>{};
        // One rule each: a reply after a retry, to a command sent before for another setting,
        // may be a leftover of that one; the other attempt of an answered retry is waited
        // for; an unanswered frame is waited for four deadlines; a stop sends no retry;
        // nothing goes out while a second reply is still arriving.
        QTest::newRow("answered only after a retry, its command used before")
            << two << Script{} << 1 << 0 << QStringList{"done", "unconfirmed"} << 0
            << QList<int>{1, -1, 1};
        QTest::newRow("the other attempt's reply comes after the watch")
            << two << Script{} << 1 << 0 << QStringList{"done", "no-reply"} << 0
            << QList<int>{300, 440, -1, -1};
        QTest::newRow("a reply later than deadline and settle, no retries")
            << two << Script{} << 0 << 0 << QStringList{"no-reply", "no-reply"} << 0
            << QList<int>{440, -1};
        QTest::newRow("stopped while a silent module is awaited")
            << one << Script{-1} << 1 << -1 << QStringList{"no-reply"} << 0 << QList<int>{};
        QTest::newRow("a second reply arriving when the watch ends")
            << two << Script{1, 10, 0, 300} << 1 << 0 << QStringList{"done", "done"} << 0
            << QList<int>{};
        QTest::newRow("stopped after the first result")
            << three << Script{} << 1 << 1 << QStringList{"done", "not-sent", "not-sent"} << 0 << QList<int>{};
    }

    void plans() {
        QFETCH(QStringList, plan);
        QFETCH(Script, script);
        QFETCH(int, retries);
        QFETCH(int, stop_after);
        QFETCH(QList<int>, each);
        test::FarEnd far(script);
        if (!each.isEmpty()) {
            far.answer_each_after({each.begin(), each.end()});
        }
        std::vector<plan::PlanStep> steps;
        for (int i = 0; i < plan.size(); ++i) {
            steps.push_back(step_of(plan[i], i + 2));
        }
        plan::RunSettings settings;
        settings.retries = retries;
        Collector collector;
        plan::Runner runner(far, settings, steps, collector);
        const bus::Micros began = far.now();
        runner.start();
        std::optional<bus::Micros> stopped_at;
        QVERIFY(far.run(
            [&] {
                const int done = stop_after > 0 ? collector.finished : -int(far.heard().size());
                if (stop_after != 0 && done == stop_after && !stopped_at) {
                    stopped_at = far.now();
                    runner.stop();
                }
                return collector.end.has_value();
            },
            far.now() + kLimit));
        QStringList outcomes;
        for (const auto& r : runner.results()) {
            outcomes << QString::fromLatin1(plan::outcome_name(r.outcome).data());
            // The oracle: nothing is claimed that the module did not answer.
            const bool claimed = r.outcome == plan::Outcome::done || r.outcome == plan::Outcome::refused;
            QVERIFY2(!claimed || far.answered(r.frame, r.line), qPrintable(plan[outcomes.size() - 1]));
            if (r.proven) {
                QVERIFY(far.answered(protocol::no_op_frame(r.step.address, *r.moved_to), *r.moved_to));
            }
        }
        QTEST(outcomes, "outcomes");
        QCOMPARE(far.sent_over_reply(), 0);
        if (stopped_at) {
            for (const auto& heard : far.heard()) {
                QVERIFY2(heard.at <= *stopped_at, "a frame went out after the stop");
            }
        }
        QFETCH(int, most_ms);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(far.now() - began);
        QVERIFY2(most_ms == 0 || took.count() <= most_ms, qPrintable(QString::number(took.count())));
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "test_engine.moc"
