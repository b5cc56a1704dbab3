// Opening and closing the PC port over a real pseudo-terminal, and every way that
// can fail: no port, a link to something else, another program holding it, a lock
// left behind, the far end going away. Each must end in one clear message and a
// closed, consistent window.
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "serial/port_messages.h"
#include "tests/support/window.h"
#include "ui/spin_arrows.h"

using namespace tarvok::test;
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

// Another program on this machine holding the device; see port_holder.cpp. It is
// taken from beside this test when there (as_user.sh copies both where its user can
// reach them), and run under `program`'s name.
class Holder {
public:
    Holder(const QString& mode, const QString& device, const QString& program) {
        const QString beside = QCoreApplication::applicationDirPath() + "/tarvok_port_holder";
        const QString path = program_.filePath(program);
        QFile::copy(QFile::exists(beside) ? beside : TARVOK_PORT_HOLDER_PATH, path);
        process_.start(path, {mode, device});
        holding_ = process_.waitForReadyRead(5000) &&
                   process_.readAllStandardOutput().startsWith("holding");
    }
    ~Holder() { end(false); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    bool holding() const { return holding_; }
    qint64 pid() const { return process_.processId(); }
    // Lets go politely (stdin closed) or by SIGKILL, which leaves a lock file behind.
    void end(bool kill) {
        if (process_.state() != QProcess::NotRunning) {
            kill ? process_.kill() : process_.closeWriteChannel();
            process_.waitForFinished(5000);
        }
    }

private:
    QTemporaryDir program_;
    QProcess process_;
    bool holding_ = false;
};

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
        QTest::newRow("defaults") << 3 << 0 << int(B9600) << int(QSerialPort::NoParity);
        QTest::newRow("2400 odd") << 1 << 1 << int(B2400) << int(QSerialPort::OddParity);
        QTest::newRow("115200 even") << 7 << 2 << int(B115200) << int(QSerialPort::EvenParity);
    }
    void open_applies_settings() {
        QFETCH(int, baud_index);
        QFETCH(int, parity_index);
        QFETCH(int, speed);
        QFETCH(int, parity);
        WiredWindow w(false);
        PtyPair second;
        QVERIFY(w.config.link_port(2, second.slave_path()));
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
        QTest::addColumn<bool>("kill");        // how the holder lets go afterwards
        QTest::addColumn<QString>("program");  // the holder's name
        QTest::addColumn<QString>("advice");
        const QString close = "请先关闭那个程序";
        QTest::newRow("Qt lock, holder exits") << "qt" << false << "tarvok_port_holder" << close;
        QTest::newRow("Qt lock, holder killed") << "qt" << true << "tarvok_port_holder" << close;
        QTest::newRow("exclusive tty, holder exits")
            << "exclusive" << false << "tarvok_port_holder" << close;
        QTest::newRow("advisory lock, holder killed")
            << "flock" << true << "tarvok_port_holder" << close;
        QTest::newRow("ModemManager probing") << "flock" << false << "ModemManager"
                                              << "ID_MM_DEVICE_IGNORE=1";
    }
    void port_held_by_another_program() {
        QFETCH(QString, mode);
        QFETCH(bool, kill);
        QFETCH(QString, program);
        QFETCH(QString, advice);
        if (mode == "exclusive" && ::geteuid() == 0) {
            QSKIP("the kernel lets root open a tty in exclusive use; test_port_as_user covers it");
        }
        WiredWindow w(false);
        Holder holder(mode, w.wire.slave_path(), program);
        QVERIFY(holder.holding());
        click(w.form.open_comm);
        expect_closed(w.form);
        expect_one_message(w.form, {"串口 1（" + w.wire.slave_path() + "）正被其他程序占用：" +
                                        program + QString("（进程 %1）").arg(holder.pid()),
                                    advice});
        dismiss_messages(&w.form);
        // Once the other program is gone, even without tidying up, the port opens.
        holder.end(kill);
        if (mode == "qt" && kill && ::geteuid() != 0) {
            QSKIP("a pty keeps the exclusive flag of a killed holder; only root reopens it");
        }
        click(w.form.open_comm);
        QVERIFY2(w.form.MSComm1->port_open(), qPrintable(shown_messages(&w.form).join('|')));
    }

    // With no other program to name (the test itself keeps the pty open), the
    // message says what it always said.
    void busy_with_no_holder_found() {
        PtyPair wire;
        const QString said = tarvok::serial::open_failed(
            1, {tarvok::serial::SerialFault::busy, wire.slave_path(), QString()});
        QCOMPARE(said, "打开串口 1（" + wire.slave_path() +
                           "）失败：该串口正被其他程序占用，请先关闭那个程序。");
    }

    // A lock file that names an exited program and that Qt will not take over: the
    // message names the file, its owner and the fix, rather than a program that is
    // not there.
    void lock_left_by_an_exited_program() {
        WiredWindow w(false);
        QProcess gone;
        gone.start("true");
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QString name = w.wire.slave_path().mid(5);
        const QString lock = "/run/lock/LCK.." + name.replace('/', '_');
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(pid) + "\nother\nanother-host\n");
        file.close();
        click(w.form.open_comm);
        QFile::remove(lock);
        expect_closed(w.form);
        expect_one_message(w.form, {"锁文件 ", "/LCK.." + name, "已退出", "删除"});
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
