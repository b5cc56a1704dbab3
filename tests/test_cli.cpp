// tarvokctl end to end: the real program against the real tarvok-sim over its pty.
// The simulator's log shows every frame that reached the wire, its state printout
// what each module took; tarvokctl's --json lines and exit code what it made of it.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

#include "testbed/child.h"
#include "testbed/config_dir.h"
#include "testbed/simulator.h"
#include "tests/support/sim_state.h"

using tarvok::testbed::ConfigDir;
using tarvok::testbed::Simulator;

namespace {

constexpr int kPort = 7;
constexpr int kWaitMs = 30000;  // only ever reached when something is wrong

// Frames the simulator heard, answered or not: one log line each, "地址 A …".
qsizetype frames_heard(Simulator& sim) {
    const QStringList& lines = sim.lines();
    return std::count_if(lines.begin(), lines.end(),
                         [](const QString& l) { return l.startsWith("地址 "); });
}

// Every module's state lines, each prefixed with its address: "\n5:第3路 关联方式=自锁 …".
QString addressed_state(Simulator& sim) {
    QString text;
    QString address;
    for (const QString& line : tarvok::test::state(sim, kWaitMs).value_or(QString()).split('\n')) {
        if (line.startsWith("状态 地址=")) {
            address = line.section('=', 1, 1).section(' ', 0, 0);
        }
        text += '\n' + address + ':' + line;
    }
    return text;
}

struct Run {
    int exit = -1;
    QStringList outcomes;  // each --json line's outcome, in order
    QString errors;
    QStringList lines;  // standard output
};

// tarvokctl with the given arguments; `cut_after_first` stops the simulator as soon
// as the first result is out, so the port vanishes in the middle of the run.
Run run_ctl(const QStringList& args, Simulator& sim, bool cut_after_first) {
    tarvok::testbed::Child ctl(QStringLiteral(TARVOKCTL_PATH), args);
    if (cut_after_first && ctl.wait_for_line(kWaitMs)) {
        sim.stop();
    }
    const tarvok::testbed::Ended ended = ctl.finish(kWaitMs);
    Run run{ended.exit, {}, ended.errors, {}};
    for (const QByteArray& line : ended.out_lines()) {
        run.lines << QString::fromUtf8(line);
        run.outcomes << QJsonDocument::fromJson(line).object().value("outcome").toString();
    }
    return run;
}

QString plan(const QStringList& lines) {
    return "address,setting,arguments\n" + lines.join('\n') + '\n';
}

}  // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
    void scans_data();
    void scans();
};

void CliTest::runs_data() {
    QTest::addColumn<QStringList>("sim");   // simulator options besides --port
    QTest::addColumn<QString>("plan");      // a plan file's text; none for a single setting
    QTest::addColumn<QStringList>("args");  // tarvokctl's arguments after the common ones
    QTest::addColumn<bool>("cut");          // the simulator stops after the first result
    QTest::addColumn<int>("exit");
    QTest::addColumn<QStringList>("outcomes");
    QTest::addColumn<int>("frames");          // frames the simulator heard
    QTest::addColumn<QStringList>("state");   // lines of the state printout, "address:line"
    QTest::addColumn<QStringList>("errors");  // pieces of standard error

    const QStringList done{"done"};
    QStringList bus_plan;
    QStringList bus_outcomes;
    for (int a = 1; a <= 10; ++a) {
        bus_plan << QStringLiteral("%1,mode,%1,联动").arg(a);
        bus_outcomes << (a <= 8 ? "done" : "no-reply");
    }
    const QString line_plan = plan({"1,line,19200,even", "1,mode,2 linked", "2,mode,第2路,联动"});
    const QString idle = "1:第1路 关联方式=不关联 上电状态=上电关";

    QTest::newRow("mode, window's words")
        << QStringList{"--address", "5"} << QString()
        << QStringList{"--address", "5", "mode", "--channel", "3", "自锁"} << false << 0 << done
        << 1 << QStringList{"5:第3路 关联方式=自锁 上电状态=上电关"} << QStringList{};
    QTest::newRow("mode, aliases")
        << QStringList{} << QString() << QStringList{"mode", "--channel", "第32路", "momentary"}
        << false << 0 << done << 1 << QStringList{"1:第32路 关联方式=点动 上电状态=上电关", idle}
        << QStringList{};
    QTest::newRow("power-on, every channel")
        << QStringList{} << QString() << QStringList{"power-on", "--channel", "all", "上电记忆"}
        << false << 0 << done << 1
        << QStringList{"1:第1路 关联方式=不关联 上电状态=上电记忆",
                       "1:第32路 关联方式=不关联 上电状态=上电记忆"}
        << QStringList{};
    QTest::newRow("power-on, one channel")
        << QStringList{} << QString() << QStringList{"power-on", "--channel=5", "on"} << false << 0
        << done << 1 << QStringList{"1:第5路 关联方式=不关联 上电状态=上电开", idle}
        << QStringList{};
    QTest::newRow("line") << QStringList{} << QString() << QStringList{"line", "19200", "偶校验"}
                          << false << 0 << done << 2
                          << QStringList{"1:状态 地址=1 波特率=19200 校验=偶校验"} << QStringList{};
    // %R: a record file in the test's folder, checked against the outcomes.
    QTest::newRow("bus of 8, plan of 10, recorded")
        << QStringList{"--address", "1-8"} << plan(bus_plan) << QStringList{"--record", "%R"}
        << false << 2 << bus_outcomes << 8 + 2 * 2
        << QStringList{"1:第1路 关联方式=联动 上电状态=上电关",
                       "8:第8路 关联方式=联动 上电状态=上电关"}
        << QStringList{"无应答    2  第 10–11 行", "· 串口 7（/dev/"};
    QTest::newRow("record not written")
        << QStringList{} << QString()
        << QStringList{"--record=/nonexistent/job.csv", "line", "9600", "none"} << false << 74
        << done << 2 << QStringList{}
        << QStringList{"记录文件“/nonexistent/job.csv”没有写成（无法写入）"};
    QTest::newRow("refused") << QStringList{"--fail"} << QString()
                             << QStringList{"mode", "--channel", "1", "自锁"} << false << 1
                             << QStringList{"refused"} << 1 << QStringList{idle} << QStringList{};
    QTest::newRow("corrupt checksum, retried")
        << QStringList{"--corrupt-checksum"} << QString()
        << QStringList{"mode", "--channel", "1", "自锁"} << false << 2 << QStringList{"no-reply"}
        << 2 << QStringList{} << QStringList{};
    QTest::newRow("junk before the reply")
        << QStringList{"--garbage"} << QString() << QStringList{"mode", "--channel", "1", "自锁"}
        << false << 0 << done << 1 << QStringList{"1:第1路 关联方式=自锁 上电状态=上电关"}
        << QStringList{};
    QTest::newRow("line change, not followed")
        << QStringList{"--address", "1-2"} << line_plan << QStringList{} << false << 2
        << QStringList{"done", "no-reply", "done"} << 2 + 2 + 1
        << QStringList{"1:状态 地址=1 波特率=19200 校验=偶校验",
                       "1:第2路 关联方式=不关联 上电状态=上电关",
                       "2:第2路 关联方式=联动 上电状态=上电关"}
        << QStringList{};
    QTest::newRow("line change, followed")
        << QStringList{"--address", "1-2"} << line_plan << QStringList{"--follow"} << false << 0
        << QStringList{"done", "done", "done"} << 4
        << QStringList{"1:第2路 关联方式=联动 上电状态=上电关",
                       "2:第2路 关联方式=联动 上电状态=上电关"}
        << QStringList{};
    // The second line would be credited with the copy of the first line's reply.
    QTest::newRow("each reply copied 150 ms later, two line changes")
        << QStringList{"--twice", "150"} << plan({"1,line,19200,none", "1,line,38400,even"})
        << QStringList{} << false << 2 << QStringList{"done", "no-reply"} << 1 + 1 + 2
        << QStringList{"1:状态 地址=1 波特率=19200 校验=无校验"} << QStringList{"重复的回复"};
    QTest::newRow("port vanishes")
        << QStringList{"--delay", "600"}
        << plan({"1,mode,1,自锁", "1,power-on,2,on", "1,mode,3,自锁", "1,mode,4,自锁"})
        << QStringList{"--timeout", "20000"} << true << 74
        << QStringList{"done", "no-reply", "not-sent", "not-sent"} << 2 << QStringList{}
        << QStringList{"已断开", "成功      1  第 2 行", "未发送    2  第 4–5 行"};
}

void CliTest::runs() {
    QFETCH(QStringList, sim);
    QFETCH(QString, plan);
    QFETCH(QStringList, args);
    QFETCH(bool, cut);
    QFETCH(int, exit);
    QFETCH(QStringList, outcomes);
    QFETCH(int, frames);
    QFETCH(QStringList, state);
    QFETCH(QStringList, errors);

    const ConfigDir config;
    Simulator simulator;
    QVERIFY(!simulator
                 .start(QStringLiteral(TARVOK_SIM_PATH),
                        QStringList{"--port", QString::number(kPort)} + sim)
                 .isEmpty());
    QStringList all{"--port", QString::number(kPort), "--json"};
    all += args.contains("--timeout") ? args : QStringList{"--timeout", "250"} + args;
    const QString record = config.root() + "/job.csv";
    all.replaceInStrings("%R", record);
    if (!plan.isEmpty()) {
        QFile file(config.root() + "/plan.csv");
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(plan.toUtf8()) == plan.toUtf8().size());
        all << "apply" << file.fileName();
    }
    const Run run = run_ctl(all, simulator, cut);
    QCOMPARE(run.outcomes, outcomes);
    QCOMPARE(run.exit, exit);
    for (const QString& piece : errors) {
        QVERIFY2(run.errors.contains(piece), qPrintable(run.errors));
    }
    // Asked even when no line is checked: its answer comes after every earlier log line.
    const QString printed = cut ? QString() : addressed_state(simulator);
    QCOMPARE(frames_heard(simulator), frames);
    for (const QString& line : state) {
        QVERIFY2(printed.contains('\n' + line + '\n'), qPrintable(line));
    }
    if (args.contains("%R")) {
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList rows = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QVERIFY(rows.contains("串口号," + QString::number(kPort)));
        rows = rows.mid(rows.indexOf(QRegularExpression("行,地址,.*")) + 1);
        QCOMPARE(rows.replaceInStrings(QRegularExpression("^([^,]*,){8}([^,]*),.*"), "\\2"),
                 outcomes);
    }
}

// A scan over the real simulator: the modules it finds, one JSON object each, and a bus
// whose state printout is the same before and after.
void CliTest::scans_data() {
    QTest::addColumn<QStringList>("sim");
    QTest::addColumn<QStringList>("args");  // after --port, --json, --timeout 60
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<int>("exit");
    const QStringList bus{"--module",     "1-3",      "--module",
                          "7@19200/even", "--module", "200@2400/odd"};
    const QString m = R"({"address":%1,"baud":%2,"parity":"%3"})";
    const QStringList nine{m.arg(1).arg(9600).arg("none"), m.arg(2).arg(9600).arg("none"),
                           m.arg(3).arg(9600).arg("none")};
    QTest::newRow("every line") << bus << QStringList{"scan", "--baud",      "all",      "--parity",
                                                      "all",  "--addresses", "1-3,7,200"}
                                << nine + QStringList{m.arg(7).arg(19200).arg("even"),
                                                      m.arg(200).arg(2400).arg("odd")}
                                << 0;
    QTest::newRow("one line") << bus << QStringList{"scan", "--addresses", "0-3,7,200"} << nine
                              << 0;
    QTest::newRow("nobody there") << bus
                                  << QStringList{"scan", "--baud", "4800", "--addresses", "1-3"}
                                  << QStringList{} << 2;
    // The last address asked at a line gets its wait before the line changes.
    QTest::newRow("a slow module, last at its line")
        << QStringList{"--module", "5", "--delay", "150"}
        << QStringList{"scan", "--baud", "all", "--parity", "none", "--addresses", "5"}
        << QStringList{m.arg(5).arg(9600).arg("none")} << 0;
    QTest::newRow("replies dropped, retries find all")
        << bus + QStringList{"--drop", "50", "--seed", "7"}
        << QStringList{"--retries", "8", "scan", "--addresses", "1-3"} << nine << 0;
}

void CliTest::scans() {
    QFETCH(QStringList, sim);
    QFETCH(QStringList, args);
    const ConfigDir config;
    Simulator simulator;
    QVERIFY(!simulator
                 .start(QStringLiteral(TARVOK_SIM_PATH),
                        QStringList{"--port", QString::number(kPort)} + sim)
                 .isEmpty());
    const QString before = addressed_state(simulator);
    const Run run =
        run_ctl(QStringList{"--port", QString::number(kPort), "--json", "--timeout", "60"} + args,
                simulator, false);
    QTEST(run.lines, "found");
    QTEST(run.exit, "exit");
    QCOMPARE(addressed_state(simulator), before);
}

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
