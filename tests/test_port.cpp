// Opening and closing the PC port over a real pseudo-terminal, and every way that
// can fail: no port, a link to something else, another program holding it (beside
// the simulator, which keeps its pty open), a lock left behind, the far end going
// away. Each must end in one clear message and a closed, consistent window.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "serial/port_holder.h"
#include "serial/port_messages.h"
#include "testbed/simulator.h"
#include "tests/support/other_programs.h"
#include "tests/support/window.h"
#include "ui/spin_arrows.h"

using namespace tarvok::test;
using tarvok::testbed::ConfigDir;
using tarvok::testbed::PtyPair;
using tarvok::ui::main_form;

namespace {

void expect_closed(const main_form& form) {
    QVERIFY(!form.MSComm1->port_open());
    QVERIFY(form.chuankou_num->isEnabled() && form.VScroll2->isEnabled());
    QVERIFY(form.Combo3->isEnabled() && form.Combo7->isEnabled());
    QCOMPARE(form.open_comm->text(), QStringLiteral("打开串口"));
}

// The single message the window shows, which must contain every one of `parts`.
void expect_one_message(const main_form& form, const QStringList& parts) {
    const QStringList messages = shown_messages(&form);
    QVERIFY2(messages.size() == 1, qPrintable(messages.join('|')));
    for (const QString& part : parts) {
        QVERIFY2(messages.first().contains(part), qPrintable(messages.first()));
    }
}

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Creates what port 5's link names; the path, or empty when none is wanted.
QString make_target(const ConfigDir& config, const QString& kind) {
    const QString path = config.root() + "/target";
    const QByteArray native = QFile::encodeName(path);
    if (kind == "directory") return QDir().mkdir(path) ? path : "?";
    if (kind == "fifo") return ::mkfifo(native.constData(), 0600) == 0 ? path : "?";
    if (kind == "file") return QFile(path).open(QIODevice::WriteOnly) ? path : "?";
    if (kind == "null device") return QStringLiteral("/dev/null");
    if (kind == "missing") return path;
    return {};
}

}  // namespace

class PortTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { drop_offscreen_limits(); }

    void open_applies_settings_data() {
        QTest::addColumn<int>("baud_index");
        QTest::addColumn<int>("parity_index");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("parity");
        QTest::addColumn<bool>("lock_left");  // on the pty the kernel hands out next
        QTest::newRow("defaults") << 3 << 0 << int(B9600) << int(QSerialPort::NoParity) << false;
        QTest::newRow("2400 odd") << 1 << 1 << int(B2400) << int(QSerialPort::OddParity) << false;
        QTest::newRow("115200 even, a lock left on the next pty")
            << 7 << 2 << int(B115200) << int(QSerialPort::EvenParity) << true;
    }
    void open_applies_settings() {
        QFETCH(int, baud_index);
        QFETCH(int, parity_index);
        QFETCH(int, speed);
        QFETCH(int, parity);
        QFETCH(bool, lock_left);
        // The wires must pass over a pty whose lock file the test may not remove; the
        // port would not open otherwise. (Should another program take that pty first,
        // the row still holds.) The lock goes before the wires let that pty go.
        std::optional<LeftLock> left;
        if (lock_left) {
            const PtyPair next;  // held while its lock is made, then let go
            QVERIFY(left.emplace(next.slave_path()).left());
        }
        WiredWindow w(false);
        PtyPair second;
        const auto unlock = qScopeGuard([&] { left.reset(); });
        QVERIFY(w.config.link_port(2, second.slave_path()));
        if (left) {
            QVERIFY(w.wire.ok() && second.ok());
            QVERIFY(tarvok::serial::lock_file_path(w.wire.slave_path()) != left->path());
            QVERIFY(tarvok::serial::lock_file_path(second.slave_path()) != left->path());
        }
        pick(w.form.Combo3, baud_index);
        pick(w.form.Combo7, parity_index);
        click(w.form.open_comm);
        QVERIFY2(w.form.MSComm1->port_open(), qPrintable(shown_messages(&w.form).join('|')));
        QCOMPARE(int(w.wire.slave_speed()), speed);
        QCOMPARE(int(w.form.MSComm1->port().parity()), parity);
        QVERIFY(!w.form.chuankou_num->isEnabled() && !w.form.Combo7->isEnabled());
        QVERIFY(w.form.add->isEnabled() && w.form.VScroll1->isEnabled());
        QCOMPARE(w.form.open_comm->text(), QStringLiteral("关闭串口"));
        click(w.form.open_comm);
        expect_closed(w.form);
        // A number changed while closed takes effect on the next open.
        w.form.chuankou_num->setText("2");
        click(w.form.open_comm);
        QCOMPARE(w.form.MSComm1->device(), second.slave_path());
    }

    void failed_open_explains_and_stays_closed_data() {
        QTest::addColumn<QString>("port_text");
        QTest::addColumn<QString>("link");  // what port 5's link names
        QTest::addColumn<QString>("says");
        QTest::newRow("no such port") << "5"
                                      << ""
                                      << "打开串口 5 失败：找不到这个串口";
        QTest::newRow("port 0") << "0"
                                << ""
                                << "串口号“0”无效，请输入 1 到 255 之间的整数";
        QTest::newRow("port 256") << "256"
                                  << ""
                                  << "串口号“256”无效";
        QTest::newRow("letters") << "abc"
                                 << ""
                                 << "串口号“abc”无效";
        QTest::newRow("dangling link") << "5"
                                       << "missing"
                                       << "设备不存在";
        // A fifo would block the open for good; a socket or such goes the same way.
        for (const char* kind : {"directory", "fifo", "file", "null device"}) {
            QTest::addRow("link to a %s", kind) << "5" << kind << "不是串口设备";
        }
    }
    void failed_open_explains_and_stays_closed() {
        QFETCH(QString, port_text);
        QFETCH(QString, link);
        QFETCH(QString, says);
        ConfigDir config;
        const QString target = make_target(config, link);
        QVERIFY(target != "?");
        if (!target.isEmpty()) QVERIFY(config.link_port(5, target));
        main_form form;
        form.chuankou_num->setText(port_text);
        click(form.open_comm);
        expect_closed(form);
        expect_one_message(form, {says, target});
        dismiss_messages(&form);
        QVERIFY(shown_messages(&form).isEmpty());
    }

    void port_held_by_another_program_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("on_sim");      // the port is tarvok-sim's pty, which it keeps open
        QTest::addColumn<bool>("kill");        // how the holder lets go afterwards
        QTest::addColumn<QString>("program");  // the holder's name
        QTest::addColumn<QString>("advice");
        const QString close = "请先关闭那个程序";
        const QString holder = "tarvok_port_holder";
        QTest::newRow("Qt lock, holder exits") << "qt" << false << false << holder << close;
        QTest::newRow("Qt lock, holder killed") << "qt" << false << true << holder << close;
        QTest::newRow("exclusive tty, holder exits")
            << "exclusive" << false << false << holder
            << "打开了它，但没有加锁，串口可能仍在被它使用";
        QTest::newRow("advisory lock, holder killed")
            << "flock" << false << true << holder << close;
        QTest::newRow("ModemManager probing") << "flock" << false << false << "ModemManager"
                                              << "ID_MM_DEVICE_IGNORE=1";
        QTest::newRow("simulator, Qt lock") << "qt" << true << false << holder << close;
        QTest::newRow("simulator, advisory lock") << "flock" << true << false << holder << close;
        QTest::newRow("simulator, POSIX lock, holder killed")
            << "posix" << true << true << holder << close;
    }
    void port_held_by_another_program() {
        QFETCH(QString, mode);
        QFETCH(bool, on_sim);
        QFETCH(bool, kill);
        QFETCH(QString, program);
        QFETCH(QString, advice);
        if (mode == "exclusive" && ::geteuid() == 0) {
            QSKIP("the kernel lets root open a tty in exclusive use; test_port_as_user covers it");
        }
        ConfigDir config;
        PtyPair wire;
        tarvok::testbed::Simulator sim;
        const QString device =
            on_sim ? sim.start(helper("tarvok-sim", TARVOK_SIM_PATH), {"--port", "1"})
                   : wire.slave_path();
        QVERIFY2(!device.isEmpty(), qPrintable(sim.error_text()));
        if (on_sim && !tarvok::serial::existing_lock_file(device).isEmpty()) {
            QSKIP("a lock file was left for the pty the simulator got");
        }
        QVERIFY(on_sim || config.link_port(1, device));
        main_form form;
        Holder holder(helper("tarvok_port_holder", TARVOK_PORT_HOLDER_PATH), mode, device, program);
        QVERIFY(holder.holding());
        click(form.open_comm);
        expect_closed(form);
        expect_one_message(form, {"串口 1（" + device + "）正被其他程序占用：" + program +
                                      QString("（进程 %1）").arg(holder.pid()),
                                  advice});
        dismiss_messages(&form);
        // Once the other program is gone, even without tidying up, the port opens.
        holder.end(kill);
        if (mode == "qt" && kill && ::geteuid() != 0) {
            // Its lock file would stay for whoever gets this pty number next.
            QFile::remove(tarvok::serial::existing_lock_file(device));
            QSKIP("a pty keeps the exclusive flag of a killed holder; only root reopens it");
        }
        click(form.open_comm);
        QVERIFY2(form.MSComm1->port_open(), qPrintable(shown_messages(&form).join('|')));
    }

    // With nobody the system names, the message says what it always said.
    void busy_with_no_holder_found() {
        const QString said = tarvok::serial::open_failed(
            1, {tarvok::serial::SerialFault::busy, "/dev/ttyUSB0", QString()});
        QCOMPARE(said,
                 "打开串口 1（/dev/ttyUSB0）失败：该串口正被其他程序占用，请先关闭那个程序。");
    }

    // A lock file that names an exited program and that Qt will not take over: the
    // message names the file, who may remove it and how, rather than a program that
    // is not there.
    void lock_left_by_an_exited_program() {
        WiredWindow w(false);
        const LeftLock left(w.wire.slave_path());
        QVERIFY(left.left());
        click(w.form.open_comm);
        expect_closed(w.form);
        const QString owner = ::geteuid() == 0 ? "nobody" : QFileInfo(left.path()).owner();
        expect_one_message(w.form,
                           {"锁文件 " + left.path() + " 是已退出的程序留下的，属于用户 " + owner +
                            "，只有该用户或 root 能删除它（例如 sudo rm " + left.path() + "）"});
    }

    void far_end_vanishes_data() {
        QTest::addColumn<QByteArray>("before");  // what arrives before the far end goes
        QTest::addColumn<bool>("press_after");   // a setting pressed once it has gone
        QTest::addColumn<int>("results");
        QTest::newRow("three bytes of a reply") << from_hex("22 01 44") << false << 0;
        QTest::newRow("seven bytes of a reply") << from_hex("22 01 44 00 00 00 01") << false << 0;
        QTest::newRow("a reply and three bytes")
            << from_hex("22 01 44 00 00 00 01 68 22 01 44") << false << 1;
        QTest::newRow("a setting into the gone line") << QByteArray() << true << 0;
    }
    void far_end_vanishes() {
        QFETCH(QByteArray, before);
        QFETCH(bool, press_after);
        QFETCH(int, results);
        WiredWindow w;
        QSignalSpy shown(&w.form, &main_form::result_shown);
        const QString device = w.wire.slave_path();
        w.receive(before);
        w.wire.close_master();
        if (press_after) click(w.form.Command1);
        QTRY_VERIFY_WITH_TIMEOUT(!w.form.MSComm1->port_open(), 3000);
        const double cpu_before = cpu_seconds();
        QTest::qWait(500);  // a second report of the same loss would come now
        QVERIFY2(cpu_seconds() - cpu_before < 0.25, "the event loop kept spinning after the loss");
        expect_closed(w.form);
        expect_one_message(w.form, {device});
        QCOMPARE(shown.count(), results);
        QCOMPARE(w.form.MSComm1->in_buffer_count(), 0);
    }

    void tooltip_shows_the_current_table() {
        WiredWindow w(false);
        PtyPair third;
        QVERIFY(w.config.link_port(3, third.slave_path()));
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2),
                        w.form.chuankou_num->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(w.form.chuankou_num, &help);
        const QString tip = w.form.chuankou_num->toolTip();
        QVERIFY2(
            tip.contains("1 = " + w.wire.slave_path()) && tip.contains("3 = " + third.slave_path()),
            qPrintable(tip));
    }

    void closing_the_window_releases_the_port() {
        WiredWindow w;
        w.form.show();
        QVERIFY(w.form.MSComm1->port_open());
        QVERIFY(w.form.close());
        QVERIFY(!w.form.MSComm1->port_open());
        QSerialPort again;
        again.setPortName(w.wire.slave_path());
        QVERIFY2(again.open(QIODevice::ReadWrite),
                 "the port stayed locked after the window closed");
    }
};

QTEST_MAIN(PortTest)
#include "test_port.moc"
