// The window against the real simulator process: the operator's clicks go out over
// the simulator's pty, the module's state (asked over the simulator's stdin) shows
// what arrived, and the result dialogs show what came back. Last, the window program
// itself ended by a signal with its port open.
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>

#include <csignal>

#include "serial/port_holder.h"
#include "sim/module_engine.h"
#include "testbed/simulator.h"
#include "tests/support/sim_state.h"
#include "tests/support/window.h"

using namespace tarvok::test;
using tarvok::sim::ModuleState;
using tarvok::testbed::ConfigDir;
using tarvok::testbed::PtyPair;
using tarvok::ui::main_form;
namespace protocol = tarvok::protocol;

namespace {

constexpr int kWaitMs = 5000;  // generous: only ever reached when something is wrong
constexpr int kAll = 32;       // "全部" after the 32 channels

ModuleState changed(ModuleState s, const protocol::Request& request) {
    return tarvok::sim::apply(s, request);
}

// One test's world: a config folder of its own, the simulator registered in it as
// port 1, and the window that opens port 1.
struct Rig {
    ConfigDir config;
    tarvok::testbed::Simulator sim;
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
        click(rig_->form.open_comm);
        QVERIFY2(rig_->form.MSComm1->port_open(), qPrintable(shown_messages(&rig_->form).join('\n')));
        QCOMPARE(rig_->form.MSComm1->device(), device);
    }

    // The simulator's line about the frame, whole.
    QString logged(const QString& text) {
        return rig_->sim.take_line(text, kWaitMs).value_or("(no line containing " + text + ")");
    }

    // Once the simulator answered this, it has nothing left to send for the frames
    // before; a short turn of the event loop lets the window take all of it in.
    QString state() {
        const auto text = tarvok::test::state(rig_->sim, kWaitMs);
        QTest::qWait(150);
        return text.value_or(QStringLiteral("(no state)"));
    }
    static QString text_of(const ModuleState& s) { return QString::fromStdString(state_text(s)); }

private slots:
    void initTestCase() { drop_offscreen_limits(); }
    void init() { rig_ = std::make_unique<Rig>(); }

    void cleanup() {
        const QString link = rig_->link();
        if (rig_->form.MSComm1->port_open()) {
            click(rig_->form.open_comm);
        }
        const auto code = rig_->sim.stop(kWaitMs);
        rig_.reset();
        QCOMPARE(code, std::optional<int>(0));
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    // Later settings overwrite earlier ones channel by channel, including the
    // "off" choices that equal the module's power-up state.
    void settings_in_sequence() {
        start({});
        const QList<QList<int>> steps = {{2, kAll, 1}, {2, 6, 0}, {1, kAll, 1}, {1, 4, 0},
                                         {2, 6, 2},    {3, 3, 0}, {2, kAll, 0}};
        const std::vector<protocol::Request> requests = {
            protocol::PowerOnSetting{0xFF, protocol::PowerOn::on},
            protocol::PowerOnSetting{7, protocol::PowerOn::off},
            protocol::ModeSetting{0xFF, protocol::Mode::self_lock},
            protocol::ModeSetting{5, protocol::Mode::none},
            protocol::PowerOnSetting{7, protocol::PowerOn::memory},
            // The module's own line again: at another it would not hear the next frame.
            protocol::LineSetting{9600, protocol::Parity::none}};
        ModuleState expected;
        for (qsizetype i = 0; i < steps.size() - 1; ++i) {
            press_setting(rig_->form, steps[i][0], steps[i][1], steps[i][2]);
            QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), i + 1, kWaitMs);
            QCOMPARE(rig_->results.last().first().toBool(), true);
            click(rig_->form.dialogs().success()->cmd_queding);
            expected = changed(expected, requests.at(std::size_t(i)));
        }
        QCOMPARE(state(), text_of(expected));
        // The all-off frame equals the power-up state; only a change from on shows it.
        press_setting(rig_->form, steps.last()[0], steps.last()[1], steps.last()[2]);
        QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), steps.size(), kWaitMs);
        expected = changed(expected, protocol::PowerOnSetting{0xFF, protocol::PowerOn::off});
        QCOMPARE(state(), text_of(expected));
    }

    void module_and_reply_faults_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("address");  // typed into the window
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("shows");  // "cg", "sb" or ""
        QTest::addColumn<bool>("applied");
        const QString ok = QStringLiteral("地址 1 · 第3路 关联方式 自锁 → 成功");
        QTest::newRow("--fail") << QStringList{"--fail"} << "1"
                                << "地址 1 · 第3路 关联方式 自锁 → 失败（模拟失败，未执行）" << "sb"
                                << false;
        QTest::newRow("--corrupt-checksum") << QStringList{"--corrupt-checksum"} << "1" << ok << ""
                                            << true;
        QTest::newRow("--no-reply") << QStringList{"--no-reply"} << "1" << ok << "" << true;
        QTest::newRow("--split") << QStringList{"--split"} << "1" << ok << "cg" << true;
        // Replies are read as the eight bytes after the command; junk ahead of one
        // shifts it out of place, so the window shows nothing, as with any bad reply.
        QTest::newRow("--garbage") << QStringList{"--garbage"} << "1" << ok << "" << true;
        QTest::newRow("--delay 300") << QStringList{"--delay", "300"} << "1" << ok << "cg" << true;
        QTest::newRow("--address 200") << QStringList{"--address", "200"} << "200"
                                       << "地址 200 · 第3路 关联方式 自锁 → 成功" << "cg" << true;
        QTest::newRow("other module's address") << QStringList{"--address", "2"} << "1"
                                                << "地址 1 的帧（总线上没有这个地址的模块）已忽略" << "" << false;
    }
    void module_and_reply_faults() {
        QFETCH(QStringList, args);
        QFETCH(QString, address);
        QFETCH(QString, log);
        QFETCH(QString, shows);
        QFETCH(bool, applied);
        start(args);
        ModuleState before;
        const auto at = args.indexOf(QStringLiteral("--address"));
        before.address = static_cast<std::uint8_t>(at >= 0 ? args.at(at + 1).toInt() : 1);
        rig_->form.add->setText(address);
        press_setting(rig_->form, 1, 2, 1);
        const QString line = logged(log.section(QStringLiteral(" → "), 0, 0));
        QVERIFY2(line.startsWith(log), qPrintable(line));
        const ModuleState after =
            applied ? changed(before, protocol::ModeSetting{3, protocol::Mode::self_lock}) : before;
        QCOMPARE(state(), text_of(after));
        if (!shows.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), 1, kWaitMs);
        }
        QCOMPARE(rig_->results.count(), shows.isEmpty() ? 0 : 1);
        QCOMPARE(success_shown(rig_->form), shows == "cg");
        QCOMPARE(failure_shown(rig_->form), shows == "sb");
    }

    // The module takes a new rate after answering at the old one; the host keeps its
    // own until the operator reopens the port at the new rate.
    void host_must_follow_the_modules_new_rate() {
        start({});
        main_form& f = rig_->form;
        press_setting(f, 3, 7, 2);  // 115200 偶校验
        QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), 1, kWaitMs);
        QVERIFY(logged("通讯参数").endsWith(QStringLiteral("此后按 115200 波特收发")));
        QCOMPARE(f.MSComm1->port().baudRate(), 9600);

        press_setting(f, 1, 0, 2);
        QVERIFY(logged("第1路 关联方式 联动").endsWith("→ 未应答（线路 9600 波特，本模块 115200 波特）"));
        const ModuleState moved = changed({}, protocol::LineSetting{115200, protocol::Parity::even});
        QCOMPARE(state(), text_of(moved));
        QCOMPARE(rig_->results.count(), 1);

        click(f.open_comm);
        pick(f.Combo3, 7);
        pick(f.Combo7, 2);
        click(f.open_comm);
        press_setting(f, 1, 0, 2);
        QTRY_COMPARE_WITH_TIMEOUT(rig_->results.count(), 2, kWaitMs);
        QCOMPARE(rig_->results.last().first().toBool(), true);
        QCOMPARE(state(), text_of(changed(moved, protocol::ModeSetting{1, protocol::Mode::linked})));
    }

    // A simulator stopped under an open port: the window tells the operator and
    // lets the port be chosen again.
    void simulator_stopping_closes_the_port() {
        start({});
        QCOMPARE(rig_->sim.stop(kWaitMs), std::optional<int>(0));
        QTRY_VERIFY_WITH_TIMEOUT(!rig_->form.MSComm1->port_open(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!shown_messages(&rig_->form).isEmpty(), kWaitMs);
        QVERIFY(shown_messages(&rig_->form).first().contains(QStringLiteral("已断开")));
        QCOMPARE(rig_->form.open_comm->text(), QStringLiteral("打开串口"));
        QVERIFY(!QFileInfo(rig_->link()).isSymLink());
    }

    // kill, a logout and Ctrl-C close the window as its close button does: the port
    // closes and its lock file goes, which a shared PC's next user would find "busy".
    void signals_close_the_window_data() {
        QTest::addColumn<int>("signo");
        for (const int signo : {SIGTERM, SIGHUP, SIGINT}) QTest::addRow("%d", signo) << signo;
    }
    void signals_close_the_window() {
        QFETCH(int, signo);
        const PtyPair wire;
        QVERIFY(rig_->config.link_port(1, wire.slave_path()));
        QProcess window;
        window.setProcessChannelMode(QProcess::ForwardedChannels);
        window.start(QStringLiteral(TARVOK_WINDOW_WITH_PORT_PATH), QStringList{});
        // Its own lock file: one left behind by a program that died is no sign.
        QString lock;
        QVERIFY(QTest::qWaitFor(
            [&] {
                lock = tarvok::serial::existing_lock_file(wire.slave_path());
                return tarvok::serial::lock_file_pid(lock) == window.processId();
            },
            kWaitMs));
        ::kill(static_cast<pid_t>(window.processId()), signo);
        QVERIFY(window.waitForFinished(kWaitMs));
        QCOMPARE(window.exitStatus(), QProcess::NormalExit);
        QCOMPARE(window.exitCode(), 128 + signo);
        QVERIFY2(!QFileInfo::exists(lock), qPrintable(lock));
    }
};

QTEST_MAIN(EndToEndTest)
#include "test_end_to_end.moc"
