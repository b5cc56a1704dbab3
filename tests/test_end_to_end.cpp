// The window against the real simulator process: the operator's clicks go out over
// the simulator's pty, the module's state (asked over the simulator's stdin) shows
// what arrived, and the result dialogs show what came back.
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSerialPort>
#include <QSignalSpy>

#include <algorithm>
#include <memory>

#include "tests/support/config_dir.h"
#include "tests/support/sim_process.h"
#include "tests/support/ui_helpers.h"
#include "ui/main_form.h"
#include "ui/result_dialogs.h"

using namespace tarvok::test;
using tarvok::ui::main_form;

Q_DECLARE_METATYPE(tarvok::test::SimState)

namespace tarvok::test {

// So a failed comparison names the channels that differ instead of just "not the same".
char* toString(const SimState& state) {
    QString text = QStringLiteral("地址=%1 波特率=%2 校验=%3")
                       .arg(state.address)
                       .arg(state.baud)
                       .arg(state.parity);
    for (qsizetype i = 0; i < state.channels.size(); ++i) {
        const auto& ch = state.channels.at(i);
        if (ch != SimChannel{QStringLiteral("不关联"), QStringLiteral("上电关")}) {
            text += QStringLiteral(" | 第%1路 %2 %3").arg(i + 1).arg(ch.mode, ch.power_on);
        }
    }
    return qstrdup(text.toUtf8().constData());
}

}  // namespace tarvok::test

namespace {

constexpr int kWaitMs = 5000;  // generous: only ever reached when something is wrong
constexpr int kAllIndex = 32;  // "全部" after the 32 channels

enum Button { mode_button = 1, power_button = 2, serial_button = 3 };

SimState initial() {
    SimState s{1, 9600, QStringLiteral("无校验"), {}};
    for (int i = 0; i < 32; ++i) {
        s.channels.append({QStringLiteral("不关联"), QStringLiteral("上电关")});
    }
    return s;
}

QList<int> every_channel() {
    QList<int> all;
    for (int ch = 1; ch <= 32; ++ch) {
        all.append(ch);
    }
    return all;
}

SimState with_mode(SimState s, const QList<int>& channels, const QString& mode) {
    for (int ch : channels) {
        s.channels[ch - 1].mode = mode;
    }
    return s;
}

SimState with_power(SimState s, const QList<int>& channels, const QString& state) {
    for (int ch : channels) {
        s.channels[ch - 1].power_on = state;
    }
    return s;
}

SimState with_serial(SimState s, int baud, const QString& parity) {
    s.baud = baud;
    s.parity = parity;
    return s;
}

bool success_shown(main_form& form) {
    return form.dialogs().success() && form.dialogs().success()->isVisible();
}
bool failure_shown(main_form& form) {
    return form.dialogs().failure() && form.dialogs().failure()->isVisible();
}

// Whether a reply-sized read happened: every reply carries a 0x22 start byte, and
// the store is all zero until the first read.
bool took_in_eight_bytes(const main_form& form) {
    return std::any_of(form.recv_buf.begin(), form.recv_buf.begin() + 8,
                       [](std::int32_t b) { return b != 0; });
}

// One test's world: a config folder of its own, the simulator registered in it as
// port 1, and the window that opens port 1.
struct Rig {
    ConfigDir config;
    SimProcess sim;
    main_form form;
    QSignalSpy results{&form, &main_form::result_shown};

    QString link() const { return config.ports_dir() + QStringLiteral("/com1"); }
};

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig_;

    // Starts the simulator with `args` and opens its port from the window. The
    // ready line comes after the link is made, so the window never races it.
    void start(const QStringList& args) {
        const QString device = rig_->sim.start(QStringLiteral(TARVOK_SIM_PATH),
                                               QStringList{QStringLiteral("--port"), "1"} + args);
        QVERIFY2(!device.isEmpty(), qPrintable(rig_->sim.error_text()));
        QCOMPARE(QFileInfo(rig_->link()).symLinkTarget(), device);
        click(rig_->form.open_comm);
        QVERIFY2(rig_->form.MSComm1->port_open(),
                 qPrintable(shown_messages(&rig_->form).join('\n')));
        QCOMPARE(rig_->form.MSComm1->device(), device);
    }

    void press(int button, int first, int second) {
        press_setting(rig_->form, button, first, second);
    }

    // Waits for the simulator's line about the frame; the whole line.
    QString logged(const QString& text) {
        const auto line = rig_->sim.take_line(text, kWaitMs);
        return line.value_or(QStringLiteral("(no line containing “%1” in: %2)")
                                 .arg(text, rig_->sim.lines().join(" / ")));
    }

    // The module as the simulator reports it; address -1 when it did not answer.
    SimState module_state() { return rig_->sim.state(kWaitMs).value_or(SimState{}); }

    // The simulator has no more to send for the frames it logged once it answered
    // this; anything it wrote before has reached the pty by then, and a short turn
    // of the event loop lets the window take it in.
    void settle() {
        QVERIFY(rig_->sim.state(kWaitMs).has_value());
        QTest::qWait(150);
    }

private slots:
    void init() { rig_ = std::make_unique<Rig>(); }

    void cleanup() {
        const QString link = rig_->link();
        if (rig_->form.MSComm1->port_open()) {
            click(rig_->form.open_comm);
        }
        const auto code = rig_->sim.stop(kWaitMs);
        const QString last = rig_->sim.lines().value(rig_->sim.lines().size() - 1);
        rig_.reset();
        QCOMPARE(code, std::optional<int>(0));
        QVERIFY2(last.startsWith(QStringLiteral("模拟模块已停止，端口链接已移除")),
                 qPrintable(last));
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void each_button_changes_the_module_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("first");   // channel list, or module baud list
        QTest::addColumn<int>("second");  // mode, power-on choice, or parity
        QTest::addColumn<QString>("what");
        QTest::addColumn<SimState>("expected");
        const SimState s = initial();
        const QString on = QStringLiteral("上电开");
        const QString memory = QStringLiteral("上电记忆");
        QTest::newRow("ch3 自锁") << int(mode_button) << 2 << 1 << "第3路 关联方式 自锁"
                                  << with_mode(s, {3}, QStringLiteral("自锁"));
        QTest::newRow("ch32 联动") << int(mode_button) << 31 << 2 << "第32路 关联方式 联动"
                                   << with_mode(s, {32}, QStringLiteral("联动"));
        QTest::newRow("全部 点动") << int(mode_button) << kAllIndex << 3 << "全部通道 关联方式 点动"
                                   << with_mode(s, every_channel(), QStringLiteral("点动"));
        QTest::newRow("ch5 上电开")
            << int(power_button) << 4 << 1 << "第5路 上电状态 上电开" << with_power(s, {5}, on);
        QTest::newRow("ch1 上电记忆") << int(power_button) << 0 << 2 << "第1路 上电状态 上电记忆"
                                      << with_power(s, {1}, memory);
        QTest::newRow("全部 上电开")
            << int(power_button) << kAllIndex << 1 << "全部通道 上电状态 上电开"
            << with_power(s, every_channel(), on);
        QTest::newRow("全部 上电记忆")
            << int(power_button) << kAllIndex << 2 << "全部通道 上电状态 上电记忆"
            << with_power(s, every_channel(), memory);
        QTest::newRow("115200 偶校验") << int(serial_button) << 7 << 2 << "通讯参数 115200 偶校验"
                                       << with_serial(s, 115200, QStringLiteral("偶校验"));
        QTest::newRow("1200 奇校验") << int(serial_button) << 0 << 1 << "通讯参数 1200 奇校验"
                                     << with_serial(s, 1200, QStringLiteral("奇校验"));
        QTest::newRow("9600 偶校验") << int(serial_button) << 3 << 2 << "通讯参数 9600 偶校验"
                                     << with_serial(s, 9600, QStringLiteral("偶校验"));
    }
    void each_button_changes_the_module() {
        QFETCH(int, button);
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QString, what);
        QFETCH(SimState, expected);
        start({});
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(module_state(), initial());

        press(button, first, second);
        QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), 1, kWaitMs);
        QCOMPARE(rig_->results.first().first().toBool(), true);
        QVERIFY(success_shown(rig_->form));
        QCOMPARE(rig_->form.dialogs().success()->Label1->text(), QStringLiteral("修改成功"));
        QVERIFY(!failure_shown(rig_->form));
        const QString line = logged(what);
        QVERIFY2(line.startsWith(QStringLiteral("地址 1 · %1 → 成功").arg(what)), qPrintable(line));
        QCOMPARE(module_state(), expected);
        settle();
        QCOMPARE(rig_->results.count(), 1);
    }

    // Later settings overwrite earlier ones channel by channel, including the
    // "off" choices that equal the module's power-up state.
    void settings_in_sequence() {
        start({});
        if (QTest::currentTestFailed()) {
            return;
        }
        struct Step {
            int button, first, second;
        };
        const QList<Step> steps = {{power_button, kAllIndex, 1},  // 全部 上电开
                                   {power_button, 6, 0},          // ch7 上电关
                                   {mode_button, kAllIndex, 1},   // 全部 自锁
                                   {mode_button, 4, 0},           // ch5 不关联
                                   {power_button, 6, 2}};         // ch7 上电记忆
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const Step& step = steps.at(i);
            press(step.button, step.first, step.second);
            QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), i + 1, kWaitMs);
            QCOMPARE(rig_->results.last().first().toBool(), true);
            click(rig_->form.dialogs().success()->cmd_queding);
            QVERIFY(!success_shown(rig_->form));
        }
        QList<int> others = every_channel();
        others.removeOne(5);
        SimState expected = with_mode(initial(), others, QStringLiteral("自锁"));
        others = every_channel();
        others.removeOne(7);
        expected = with_power(expected, others, QStringLiteral("上电开"));
        expected = with_power(expected, {7}, QStringLiteral("上电记忆"));
        QCOMPARE(module_state(), expected);

        // The same "全部 上电关" frame as the power-up state, so only a change from
        // "on" shows that the all-off frame was understood.
        press(power_button, kAllIndex, 0);
        QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), steps.size() + 1, kWaitMs);
        expected = with_power(expected, every_channel(), QStringLiteral("上电关"));
        QCOMPARE(module_state(), expected);
    }

    void module_and_reply_faults_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("address");  // typed into the window
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("shows");  // "cg", "sb" or ""
        QTest::addColumn<bool>("replied");   // reply bytes reach the window
        QTest::addColumn<bool>("applied");
        const QString ok = QStringLiteral("地址 1 · 第3路 关联方式 自锁 → 成功");
        QTest::newRow("--fail") << QStringList{"--fail"} << "1"
                                << "地址 1 · 第3路 关联方式 自锁 → 失败（模拟失败，未执行）"
                                << "sb" << true << false;
        QTest::newRow("--corrupt-checksum")
            << QStringList{"--corrupt-checksum"} << "1" << ok << "" << true << true;
        QTest::newRow("--no-reply")
            << QStringList{"--no-reply"} << "1" << ok << "" << false << true;
        QTest::newRow("--split") << QStringList{"--split"} << "1" << ok << "cg" << true << true;
        // Replies are read as the eight bytes after the command; junk ahead of one
        // shifts it out of place, so the window shows nothing, as with any bad reply.
        QTest::newRow("--garbage") << QStringList{"--garbage"} << "1" << ok << "" << true << true;
        QTest::newRow("--delay 300")
            << QStringList{"--delay", "300"} << "1" << ok << "cg" << true << true;
        QTest::newRow("--address 200") << QStringList{"--address", "200"} << "200"
                                       << "地址 200 · 第3路 关联方式 自锁 → 成功"
                                       << "cg" << true << true;
        QTest::newRow("other module's address") << QStringList{"--address", "2"} << "1"
                                                << "地址 1 的帧（不是本模块）已忽略"
                                                << "" << false << false;
    }
    void module_and_reply_faults() {
        QFETCH(QStringList, args);
        QFETCH(QString, address);
        QFETCH(QString, log);
        QFETCH(QString, shows);
        QFETCH(bool, replied);
        QFETCH(bool, applied);
        start(args);
        if (QTest::currentTestFailed()) {
            return;
        }
        SimState before = initial();
        const auto at = args.indexOf(QStringLiteral("--address"));
        before.address = at >= 0 ? args.at(at + 1).toInt() : 1;
        rig_->form.add->selectAll();
        QTest::keyClicks(rig_->form.add, address);
        QCOMPARE(rig_->form.add->text(), address);

        press(mode_button, 2, 1);
        const QString line = logged(log.section(QStringLiteral(" → "), 0, 0));
        QVERIFY2(line.startsWith(log), qPrintable(line));
        if (replied) {
            QTRY_VERIFY_WITH_TIMEOUT(took_in_eight_bytes(rig_->form), kWaitMs);
        }
        settle();
        QCOMPARE(rig_->results.count(), shows.isEmpty() ? 0 : 1);
        if (!shows.isEmpty()) {
            QCOMPARE(rig_->results.first().first().toBool(), shows == "cg");
        }
        QCOMPARE(success_shown(rig_->form), shows == "cg");
        QCOMPARE(failure_shown(rig_->form), shows == "sb");
        if (shows == "sb") {
            QCOMPARE(rig_->form.dialogs().failure()->Label1->text(), QStringLiteral("修改失败"));
        }
        QCOMPARE(took_in_eight_bytes(rig_->form), replied);
        if (args.contains(QStringLiteral("--garbage"))) {
            // The reply's tail, shifted by the junk, waits for a ninth byte that never comes.
            const auto left = rig_->form.MSComm1->in_buffer_count();
            QVERIFY2(left >= 3 && left <= 6, qPrintable(QString::number(left)));
        } else {
            QCOMPARE(rig_->form.MSComm1->in_buffer_count(), 0);
        }
        QCOMPARE(module_state(), applied ? with_mode(before, {3}, QStringLiteral("自锁")) : before);
    }

    // The module takes a new rate after answering at the old one; the host keeps its
    // own until the operator reopens the port at the new rate.
    void host_must_follow_the_modules_new_rate_data() {
        QTest::addColumn<int>("baud_index");
        QTest::addColumn<int>("parity_index");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("parity");
        QTest::newRow("57600 无校验") << 6 << 0 << 57600 << "无校验";
        QTest::newRow("115200 偶校验") << 7 << 2 << 115200 << "偶校验";
        QTest::newRow("1200 奇校验") << 0 << 1 << 1200 << "奇校验";
    }
    void host_must_follow_the_modules_new_rate() {
        QFETCH(int, baud_index);
        QFETCH(int, parity_index);
        QFETCH(int, baud);
        QFETCH(QString, parity);
        start({});
        if (QTest::currentTestFailed()) {
            return;
        }
        main_form& f = rig_->form;

        press(serial_button, baud_index, parity_index);
        QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), 1, kWaitMs);
        QCOMPARE(rig_->results.first().first().toBool(), true);
        const QString moving = logged(QStringLiteral("通讯参数"));
        QVERIFY2(moving.endsWith(QStringLiteral("此后按 %1 波特收发").arg(baud)),
                 qPrintable(moving));
        click(f.dialogs().success()->cmd_queding);
        QCOMPARE(f.MSComm1->port().baudRate(), 9600);

        press(mode_button, 0, 2);
        const QString unheard = logged(QStringLiteral("第1路 关联方式 联动"));
        QVERIFY2(unheard.endsWith(
                     QStringLiteral("→ 未应答（线路 9600 波特，本模块 %1 波特）").arg(baud)),
                 qPrintable(unheard));
        settle();
        QCOMPARE(rig_->results.count(), 1);
        QVERIFY(!success_shown(f) && !failure_shown(f));
        const SimState moved = with_serial(initial(), baud, parity);
        QCOMPARE(module_state(), moved);

        click(f.open_comm);
        QVERIFY(!f.MSComm1->port_open());
        pick(f.Combo3, baud_index);
        pick(f.Combo7, parity_index);
        click(f.open_comm);
        QVERIFY(f.MSComm1->port_open());
        QCOMPARE(f.MSComm1->port().baudRate(), baud);

        press(mode_button, 0, 2);
        QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), 2, kWaitMs);
        QCOMPARE(rig_->results.last().first().toBool(), true);
        QVERIFY(success_shown(f));
        const QString heard = logged(QStringLiteral("第1路 关联方式 联动"));
        QVERIFY2(heard.endsWith(QStringLiteral("→ 成功")), qPrintable(heard));
        QCOMPARE(module_state(), with_mode(moved, {1}, QStringLiteral("联动")));
    }

    // A simulator stopped under an open port: the window tells the operator and
    // lets the port be chosen again.
    void simulator_stopping_closes_the_port() {
        start({});
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(rig_->sim.stop(kWaitMs), std::optional<int>(0));
        QTRY_VERIFY_WITH_TIMEOUT(!rig_->form.MSComm1->port_open(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!shown_messages(&rig_->form).isEmpty(), kWaitMs);
        QVERIFY2(shown_messages(&rig_->form).first().contains(QStringLiteral("已断开")),
                 qPrintable(shown_messages(&rig_->form).join('\n')));
        QCOMPARE(rig_->form.open_comm->text(), QStringLiteral("打开串口"));
        QVERIFY(!QFileInfo(rig_->link()).isSymLink());
    }
};

QTEST_MAIN(EndToEndTest)
#include "test_end_to_end.moc"
