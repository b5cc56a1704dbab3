// What tarvokctl takes from a command line and a plan: the real program, with a
// pseudo-terminal linked as its port whose far end shows whether anything reached
// the wire. Nobody answers there, so a setting that goes out ends without a reply.
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

#include <sys/resource.h>

#include <array>

#include "testbed/child.h"
#include "testbed/config_dir.h"
#include "testbed/simulator.h"
#include "tests/support/watched_pty.h"

namespace {

constexpr int kPort = 9;
constexpr int kWaitMs = 30000;        // endless input must end long before that
constexpr long kPeakKiB = 256 << 10;  // 12 MiB measured, 94 MiB under AddressSanitizer

struct Ran {
    int exit = -1;
    bool wire = false;  // bytes reached the far end
    QString text;       // standard output and standard error
};

// tarvokctl reading `input`, or what the shell command `generator` writes, killed
// after kWaitMs.
Ran run(const tarvok::test::WatchedPty& pty, const QStringList& args, const QByteArray& input,
        const QString& generator = {}) {
    const auto ended = tarvok::testbed::run(
        TARVOKCTL_PATH,
        QStringList{"--port", QString::number(kPort), "--timeout", "50", "--retries", "0"} + args,
        {.input = input, .input_from = generator}, kWaitMs);
    return {ended.exit, !pty.read(0, 100).isEmpty(), QString::fromUtf8(ended.out) + ended.errors};
}

void check(const Ran& ran) {
    QFETCH(int, exit);
    QFETCH(bool, wire);
    QFETCH(QString, message);
    QVERIFY2(ran.text.contains(message), qPrintable(ran.text));
    QCOMPARE(ran.exit, exit);
    QCOMPARE(ran.wire, wire);
}

void outcome_columns() {
    QTest::addColumn<int>("exit");
    QTest::addColumn<bool>("wire");
    QTest::addColumn<QString>("message");
}

QByteArray plan(const QByteArray& lines) { return "address,setting,arguments\n" + lines; }

// GB18030 throughout, though its first line beyond ASCII (一 2024) is valid UTF-8 too.
const QByteArray kGbPlan = plan("# \xD2\xBB 2024\n5,mode,3,\xD7\xD4\xCB\xF8\n");

}  // namespace

class CliInputTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(pty_.ok() && config_.link_port(kPort, pty_.slave_path())); }
    void command_lines_data();
    void command_lines() {
        QFETCH(QStringList, args);
        check(run(pty_, args, {}));
    }
    void plans_data();
    void plans() {
        QFETCH(QByteArray, input);
        check(run(pty_, {"apply", "-"}, input));
    }
    // A file given by name is judged whole, where standard input is judged as it comes.
    void named_plan() {
        QTemporaryFile file;
        QVERIFY(file.open() && file.write(kGbPlan) == kGbPlan.size() && file.flush());
        const Ran ran = run(pty_, {"apply", file.fileName()}, {});
        QVERIFY2(ran.wire && ran.exit == 2 && ran.text.contains("的编码为 GB18030（GBK）"),
                 qPrintable(ran.text));
    }
    void endless_data();
    void endless();
    void english_data();
    void english();

private:
    tarvok::testbed::ConfigDir config_;
    tarvok::test::WatchedPty pty_;
};

void CliInputTest::command_lines_data() {
    QTest::addColumn<QStringList>("args");
    outcome_columns();
    const QStringList mode{"mode", "--channel", "3", "自锁"};
    const std::initializer_list<std::array<const char*, 3>> numbers = {
        {"--address", "5.5", "0 到 255"}, {"--address", "-0.4", "0 到 255"},
        {"--address", "4.5", "0 到 255"}, {"--address", "0x05", "0 到 255"},
        {"--port", "1.4", "1 到 255"},    {"--timeout", "1e3", "1 到 600000"},
        {"--retries", "+1", "0 到 100"}};
    for (const auto& [option, value, range] : numbers) {
        QTest::addRow("%s %s", option, value)
            << QStringList{option, value} + mode << 64 << false
            << QString("%1 的取值“%2”无效，应为 %3 的整数").arg(option, value, range);
    }
    QTest::newRow("earlier value checked too")
        << QStringList{"--address", "5.5", "--address", "5"} + mode << 64 << false << "“5.5”";
    // Given twice, the same value is fine (also as another word for it), another is not.
    QTest::newRow("ASCII words in any case, values twice alike") << QStringList{"MODE",
                                                                                "--channel",
                                                                                "ALL",
                                                                                "SELF-LOCK",
                                                                                "--parity",
                                                                                "None",
                                                                                "-parity=无校验",
                                                                                "--channel=all",
                                                                                "--address",
                                                                                "5",
                                                                                "--address",
                                                                                "05",
                                                                                "--port",
                                                                                "9"}
                                                                 << 2 << true << "无应答";
    QTest::newRow("two addresses") << QStringList{"--address", "5", "--address=6"} + mode << 64
                                   << false << "选项 --address 给了两个不同的取值“5”和“6”";
    QTest::newRow("two timeouts") << QStringList{"--timeout", "60"} + mode << 64 << false
                                  << "选项 --timeout 给了两个不同的取值“50”和“60”";
    QTest::newRow("strict and lenient") << QStringList{"--lenient", "--strict"} + mode << 64
                                        << false << "选项 --strict 与 --lenient 不能同时使用";
    QTest::newRow("-- ends the options") << QStringList{"mode", "--channel", "3", "--", "--strict"}
                                         << 64 << false << "“--strict”不是关联方式";
    QTest::newRow("unknown option")
        << QStringList{"--bogus"} + mode << 64 << false << "没有选项“--bogus”";
    QTest::newRow("missing value")
        << QStringList{"mode", "自锁", "--channel"} << 64 << false << "选项 --channel 缺少取值";
    QTest::newRow("record of a scan") << QStringList{"--record", "scan.csv", "scan"} << 64 << false
                                      << "--record 只用于发送设置的命令";
    QTest::newRow("switch with a value")
        << QStringList{"--strict=yes"} + mode << 64 << false << "选项 --strict 不带取值";
    QTest::newRow("long word cut") << QStringList{"mode", "--channel", "3", QString(5000, 'x')}
                                   << 64 << false << "“" + QString(40, 'x') + "…”不是关联方式";
}

void CliInputTest::plans_data() {
    QTest::addColumn<QByteArray>("input");
    outcome_columns();
    const QByteArray gb_self_lock = "\xD7\xD4\xCB\xF8";  // 自锁 in GB18030
    const QByteArray bom = "\xEF\xBB\xBF";
    QTest::newRow("UTF-8, BOM, CR LF, any case")
        << bom + "Address,Setting,Arguments\r\n5,MODE,3,Self-Lock\r\n"
        << 2 << true << "第 2 行 · 地址 5 · 第3路 关联方式 自锁 → 无应答";
    QTest::newRow("GB18030") << plan("5,mode,3," + gb_self_lock + "\n") << 2 << true
                             << "计划文件“-”的编码为 GB18030（GBK）";
    QTest::newRow("GB18030 on standard input, judged by its first line")
        << kGbPlan << 64 << false << "第 3 行：编码与前面的行不同（前面是 UTF-8）";
    QTest::newRow("title, Chinese header, remark, channel range")
        << QByteArray("柜 3\n地址,设置,通道,值,备注\n5,关联方式,第 3-4 路,自锁,门边\n") << 2 << true
        << "第 1 行当作表名略过";
    QTest::newRow("UTF-8, then GB18030")
        << plan("5,mode,3,自锁\n5,mode,3," + gb_self_lock + "\n") << 64 << false
        << "第 3 行：编码与前面的行不同（前面是 UTF-8）";
    QTest::newRow("in neither encoding")
        << plan("5,mode,3,\xFF\xFE\n") << 64 << false << "第 2 行：既不是 UTF-8 也不是 GB18030";
    QTest::newRow("quoted fields") << plan(R"("5","mode","3","自锁")") << 2 << true << "无应答";
    QTest::newRow("doubled quotes")
        << plan(R"(5,mode,3,"自""锁")") << 64 << false << "第 2 行：“自\"锁”不是关联方式";
    QTest::newRow("quote left open")
        << plan(R"(5,mode,"3,自锁)") << 64 << false << "第 2 行：引号没有在本行配对";
    QTest::newRow("address 5.5") << plan("5.5,mode,3,自锁") << 64 << false
                                 << "第 2 行：地址“5.5”无效，应为 0 到 255 的整数";
    QTest::newRow("channel 33 after a good line")
        << plan("1,mode,3,自锁\n1,mode,33,自锁\n") << 64 << false << "第 3 行：通道“33”无效";
    QTest::newRow("25 bad lines") << plan(QByteArray("5,mode,40,on\n").repeated(25)) << 64 << false
                                  << "全部\n  还有 5 行有误";
    QTest::newRow("no settings") << QByteArray("# nothing yet\n") << 64 << false
                                 << "计划文件“-”有误，什么也没有发送：\n  没有任何设置：表头";
    QTest::newRow("ranges over neighbouring lines")
        << plan("5,mode,3,自锁\n# door\n5,mode,4,自锁\n5,mode,5,自锁\n") << 2 << true
        << "无应答    3  第 2、4–5 行";
}

// Input without end stops at a limit, says why, sends nothing and stays small.
void CliInputTest::endless_data() {
    QTest::addColumn<QString>("generator");
    outcome_columns();
    QTest::newRow("zero bytes") << "cat /dev/zero" << 64 << false << "第 1 行：超过 4096 字节";
    // Random bytes mostly hit the size limit, once in a few hundred runs a line longer
    // than 4096 bytes first: either stops the reading.
    QTest::newRow("random bytes") << "cat /dev/urandom" << 64 << false << "，已停止读取";
    QTest::newRow("good lines") << "(echo address,setting,arguments; yes 5,mode,3,自锁)" << 64
                                << false << "第 100001 行：超过 100000 行，已停止读取";
}

void CliInputTest::endless() {
    QFETCH(QString, generator);
    check(run(pty_, {"apply", "-"}, {}, generator));
    rusage usage{};  // the largest of every child so far, each of them tarvokctl or a writer
    QVERIFY(getrusage(RUSAGE_CHILDREN, &usage) == 0);
    QVERIFY2(usage.ru_maxrss < kPeakKiB, qPrintable(QString::number(usage.ru_maxrss)));
}

// Under an English locale, what the programs say, read for its meaning, with not one
// Chinese character (the plans here hold none): tarvokctl over port 9's silence or
// over a simulator on port 7, whose log is English too.
void CliInputTest::english_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("sim");  // the simulator's options; none: no simulator
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QStringList>("says");
    const QString ctl = TARVOKCTL_PATH;
    const QStringList at7{"--port", "7", "--timeout", "150"};
    const QStringList one{"--module", "1"};
    QTest::newRow("help") << ctl << QStringList{} << QStringList{"--help"} << QByteArray() << 0
                          << QStringList{"Usage:", "Exit codes:", "a setting got no valid reply"};
    QTest::newRow("simulator's help")
        << QString(TARVOK_SIM_PATH) << QStringList{} << QStringList{"--help"} << QByteArray() << 0
        << QStringList{"Usage: tarvok-sim", "Exit codes:"};
    QTest::newRow("not a command") << ctl << QStringList{} << QStringList{"bogus"} << QByteArray()
                                   << 64 << QStringList{"“bogus” is not a command", "--help"};
    QTest::newRow("no such port") << ctl << QStringList{}
                                  << QStringList{"--port", "200", "line", "9600", "none"}
                                  << QByteArray() << 69
                                  << QStringList{"tarvokctl: Cannot open port 200"};
    QTest::newRow("no reply") << ctl << QStringList{}
                              << QStringList{"--port", "9",    "--timeout", "50", "--retries",
                                             "0",      "mode", "--channel", "1",  "self-lock"}
                              << QByteArray() << 2
                              << QStringList{
                                     "address 1 · channel 1 mode self-lock → no reply "
                                     "(sends: 1, waiting 50 ms each)"};
    QTest::newRow("plan faults") << ctl << QStringList{} << QStringList{"--port", "9", "apply", "-"}
                                 << plan("5.5,mode,3,self-lock\n5,mode,40,on\n") << 64
                                 << QStringList{"has faults, nothing was sent:",
                                                "line 2: address “5.5”", "line 3:"};
    QTest::newRow("done, no reply, summary")
        << ctl << one << at7 + QStringList{"apply", "-"}
        << plan("1,mode,1,self-lock\n9,power-on,2,memory\n") << 2
        << QStringList{"line 2 · address 1 · channel 1 mode self-lock → done (",
                       "line 3 · address 9 ·", "Summary: 2 settings", "no reply     1  line 3"};
    QTest::newRow("refused") << ctl << QStringList{"--fail"}
                             << at7 + QStringList{"mode", "--channel", "1", "linked"}
                             << QByteArray() << 1
                             << QStringList{"→ refused (the module answered with status 0"};
    QTest::newRow("duplicate") << ctl << QStringList{"--twice", "150"}
                               << QStringList{"--port", "7", "--timeout", "250", "apply", "-"}
                               << plan("1,line,19200,none\n1,line,38400,even\n") << 2
                               << QStringList{"duplicate reply"};
    QTest::newRow("scan") << ctl << QStringList{"--module", "1-2", "--module", "5@19200/even"}
                          << at7 + QStringList{"scan", "--addresses", "1-5"} << QByteArray() << 0
                          << QStringList{"Modules found: 2", "address    baud  parity",
                                         "      2    9600  no parity"};
    QTest::newRow("scan, nobody") << ctl << one
                                  << at7 + QStringList{"scan", "--baud", "4800", "--addresses", "1"}
                                  << QByteArray() << 2
                                  << QStringList{"No modules found", "--baud all --parity all"};
}

void CliInputTest::english() {
    QFETCH(QString, program);
    QFETCH(QStringList, sim);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    tarvok::testbed::Simulator simulator;
    simulator.speak("en_US.UTF-8");
    QVERIFY(sim.isEmpty() ||
            !simulator.start(TARVOK_SIM_PATH, QStringList{"--port", "7"} + sim).isEmpty());
    const auto ended =
        tarvok::testbed::run(program, args, {.input = input, .locale = "en_US.UTF-8"}, kWaitMs);
    const QString text = QString::fromUtf8(ended.out) + ended.errors;
    QTEST(ended.exit, "exit");
    QFETCH(QStringList, says);
    for (const QString& piece : says) {
        QVERIFY2(text.contains(piece), qPrintable(text));
    }
    QStringList lines = text.split('\n');
    if (!sim.isEmpty()) {
        simulator.stop();
        lines += simulator.lines();
    }
    const QRegularExpression cjk("[\\x{2E80}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]");
    for (const QString& line : lines) {
        QVERIFY2(!line.contains(cjk), qPrintable(line));
    }
}

QTEST_GUILESS_MAIN(CliInputTest)
#include "test_cli_input.moc"
