// The simulated modules without a process or a clock: the engine's verdict on each
// frame (replies, log lines, the state of every module on the bus) and the options.
#include <QRegularExpression>
#include <QTest>

#include "protocol/number_text.h"
#include "sim/cli_options.h"
#include "sim/module_engine.h"
#include "tests/support/sim_frames.h"
#include "words/language.h"

using namespace tarvok;
using namespace tarvok::sim;
using namespace tarvok::test;
using protocol::LineSetting, protocol::ModeSetting, protocol::Parity;

Q_DECLARE_METATYPE(Bus)
Q_DECLARE_METATYPE(tarvok::protocol::LineSetting)

class SimRulesTest : public QObject {
    Q_OBJECT

private slots:
    // The words these tables hold are Chinese, whatever the caller's locale.
    void initTestCase() { words::use_language(words::Language::chinese); }
    void engine_verdicts_data() {
        QTest::addColumn<Bus>("bus");
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<LineSetting>("line");
        QTest::addColumn<bool>("fail");
        QTest::addColumn<QString>("replies");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("state");
        const Bus one{{1}}, two{{1}, {2}}, odd{{1, 9600, Parity::odd}}, fast{{1, 19200}},
            mixed{{1}, {7, 19200, Parity::even}};
        const QByteArray mode3 = command(1, ModeSetting{3, Mode::self_lock});
        const QString ok3 = "地址 1 · 第3路 关联方式 自锁 → ";
        // The new rate holds from the very next frame, still sent at the old one here.
        QTest::newRow("line, then old rate")
            << one << command(1, protocol::LineSetting{19200, Parity::even}) + mode3
            << LineSetting{} << false << "22 01 4b 00 00 00 01 6f"
            << "地址 1 · 通讯参数 19200 偶校验 → 成功\n" + ok3 +
                   "未应答（线路 9600 波特，本模块 19200 波特）"
            << state_after(one, 1, [](auto& m) { m.baud = 19200, m.parity = Parity::even; });
        QTest::newRow("module at another rate")
            << fast << mode3 << LineSetting{} << false << ""
            << ok3 + "未应答（线路 9600 波特，本模块 19200 波特）" << state_after(fast);
        QTest::newRow("line even, module none")
            << one << mode3 << LineSetting{9600, Parity::even} << false << ""
            << ok3 + "未应答（校验位不符：线路 偶校验，本模块 无校验）" << state_after(one);
        QTest::newRow("line none, module odd")
            << odd << mode3 << LineSetting{} << false << ""
            << ok3 + "未应答（校验位不符：线路 无校验，本模块 奇校验）" << state_after(odd);
        QTest::newRow("two groups, line of the second")
            << mixed << mode3 + command(7, ModeSetting{3, Mode::self_lock})
            << LineSetting{19200, Parity::even} << false << "22 07 44 00 00 00 01 6e"
            << ok3 +
                   "未应答（线路 19200 波特，本模块 9600 波特）\n地址 7 · 第3路 关联方式 自锁 → "
                   "成功"
            << state_after(mixed, 7, self_lock3);
        QTest::newRow("out of range")
            << one << bytes(protocol::make_frame(0x55, 1, 0x44, {0, 0, 1, 33})) << LineSetting{}
            << false << "22 01 44 00 00 00 00 67"
            << "地址 1 · 关联方式 参数 00 00 01 21 → 失败（参数超出范围）" << state_after(one);
        QTest::newRow("--fail") << one << mode3 << LineSetting{} << true
                                << "22 01 44 00 00 00 00 67" << ok3 + "失败（模拟失败，未执行）"
                                << state_after(one);
        QTest::newRow("nobody's address")
            << two << command(7, ModeSetting{3, Mode::self_lock}) << LineSetting{} << false << ""
            << "地址 7 的帧（总线上没有这个地址的模块）已忽略" << state_after(two);
        QTest::newRow("bus, module 2")
            << two << command(2, ModeSetting{3, Mode::self_lock}) << LineSetting{} << false
            << "22 02 44 00 00 00 01 69"
            << "地址 2 · 第3路 关联方式 自锁 → 成功" << state_after(two, 2, self_lock3);
        QTest::newRow("bus, module 1 behind junk")
            << two << QByteArray("\x01\x55\x22", 3) + mode3 << LineSetting{} << false
            << "22 01 44 00 00 00 01 68" << ok3 + "成功" << state_after(two, 1, self_lock3);
    }
    void engine_verdicts() {
        QFETCH(Bus, bus);
        QFETCH(QByteArray, stream);
        QFETCH(LineSetting, line);
        QFETCH(bool, fail);
        ModuleEngine engine(bus, fail);
        QByteArray replies;
        QStringList log;
        for (const auto& event : engine.feed(span(stream), line)) {
            if (event.reply) replies += bytes(*event.reply);
            log << QString::fromStdString(log_line(event));
        }
        QTEST(QString(replies.toHex(' ')), "replies");
        QTEST(log.join('\n'), "log");
        QTEST(QString::fromStdString(state_text(engine.modules())), "state");
    }

    void options_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("parsed");  // port, pace, groups; help; version; or the
                                              // option the refusal names
        const QString rows =
            ":1 0 1@9600/none|--address 1-8,12 --pace:1 1 1-8,12@9600/none|--port 2 -h:help|"
            "--address=5,1-3,2 --port=auto:0 0 1-3,5@9600/none|"
            "--address 255,0 --port 255:255 0 0,255@9600/none|"
            "--baud 19200 --module 1-3 --address 9 --module 7@2400/偶校验 --address 9,9:"
            "1 0 1-3@19200/none 9@19200/none 7@2400/even|--module 200@2400/odd --baud=4800:"
            "1 0 200@2400/odd|--module 7@19200/EVEN --port AUTO -port 0 --bogus=1:--bogus|"
            "--module 7@19200/EVEN --port AUTO:0 0 7@19200/even|--address 9 --address 8|"
            "--version:version|--address 8-1|--address 1,,2|--address 256|"
            "--address -1|--pace=1|--port 0|--port 256|--baud 9601|--port|--bogus|3|"
            "--module 1@9601|--module 1@9600/mark|--module @9600|--module 1-3 --module 3@19200|"
            "--address 2 --module 1-3|--drop 101|--trickle 60001|--twice x|--seed -1";
        for (const QString& row : rows.split('|'))
            QTest::addRow("%s", qPrintable(row))
                << row.section(':', 0, 0)
                << (row.contains(':') ? row.section(':', 1)
                                      : row.section(QRegularExpression("[ =]"), 0, 0));
    }
    void options() {
        QFETCH(QString, args);
        QFETCH(QString, parsed);
        std::vector<std::string> owned;
        for (const auto& a : args.split(' ', Qt::SkipEmptyParts)) owned.push_back(a.toStdString());
        const auto result = parse_options(owned);
        QString text = std::holds_alternative<HelpRequested>(result) ? "help" : "version";
        if (const auto* e = std::get_if<cmdline::Error>(&result))
            text = QString::fromStdString(cmdline::error_text(*e)).contains(parsed) ? parsed : "";
        if (const auto* o = std::get_if<Options>(&result)) {
            text = QStringLiteral("%1 %2").arg(o->port).arg(o->faults.pace);
            for (const auto& g : o->groups) {
                const auto* parity = protocol::find_value(protocol::kParities, g.line.parity);
                text += QStringLiteral(" %1@%2/%3")
                            .arg(protocol::address_list_text(g.addresses).c_str())
                            .arg(g.line.baud)
                            .arg(parity->alias.data());
            }
        }
        QCOMPARE(text, parsed);
    }
};

QTEST_GUILESS_MAIN(SimRulesTest)
#include "test_sim_rules.moc"
