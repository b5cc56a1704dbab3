// Faults around the port, through the real window: the far end going away in the
// middle of a reply, another program holding the port, and port links that name
// something other than a serial device. Each must end in one clear message and a
// window that is closed and consistent.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "tests/support/wired_window.h"
#include "ui/spin_arrows.h"

using namespace tarvok::test;
using tarvok::ui::main_form;

namespace {

void expect_closed(const main_form& form) {
    QVERIFY(!form.MSComm1->port_open());
    QVERIFY(form.MSComm1->device().isEmpty());
    QVERIFY(form.chuankou_num->isEnabled() && form.VScroll2->isEnabled());
    QVERIFY(form.Combo3->isEnabled() && form.Combo7->isEnabled());
    QCOMPARE(form.open_comm->text(), QStringLiteral("打开串口"));
}

// The single message the window shows, which must contain every one of `parts`.
void expect_one_message(const main_form& form, const QStringList& parts) {
    const QStringList messages = shown_messages(&form);
    QCOMPARE(messages.size(), 1);
    for (const QString& part : parts) {
        QVERIFY2(messages.first().contains(part), qPrintable(messages.first()));
    }
}

// Another program on this machine holding the device; see port_holder.cpp.
class Holder {
public:
    Holder(const QString& mode, const QString& device) {
        process_.start(QStringLiteral(TARVOK_PORT_HOLDER_PATH), {mode, device});
        holding_ = process_.waitForReadyRead(5000) &&
                   process_.readAllStandardOutput().startsWith("holding");
    }
    ~Holder() { end(false); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    bool holding() const { return holding_; }
    QString error() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

    // Lets go of the device: politely (stdin closed) or by SIGKILL, which leaves any
    // lock file behind with a dead owner.
    void end(bool kill) {
        if (process_.state() == QProcess::NotRunning) {
            return;
        }
        if (kill) {
            process_.kill();
        } else {
            process_.closeWriteChannel();
        }
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
    bool holding_ = false;
};

// Makes a Unix socket file at `path`; the descriptor is closed, the file stays.
bool make_socket_file(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || size_t(name.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::copy(name.begin(), name.end(), address.sun_path);
    const bool made = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return made;
}

// Creates the thing a port link is to name; empty when it could not be made.
QString make_target(const ConfigDir& config, const QString& kind) {
    const QString path = config.root() + "/target";
    bool made = false;
    if (kind == "directory") {
        made = QDir().mkdir(path);
    } else if (kind == "fifo") {
        made = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    } else if (kind == "socket") {
        made = make_socket_file(path);
    } else if (kind == "link to a file") {
        made =
            QFile(path + "-file").open(QIODevice::WriteOnly) && QFile::link(path + "-file", path);
    } else if (kind == "null device") {
        return QStringLiteral("/dev/null");
    }
    return made ? path : QString();
}

}  // namespace

class FaultsTest : public QObject {
    Q_OBJECT

private slots:
    void far_end_vanishes_mid_frame_data() {
        QTest::addColumn<QByteArray>("before");  // what arrives before the far end goes
        QTest::addColumn<int>("results");
        QTest::newRow("three bytes of a reply") << from_hex("22 01 44") << 0;
        QTest::newRow("seven bytes of a reply") << from_hex("22 01 44 00 00 00 01") << 0;
        QTest::newRow("a reply and three bytes")
            << from_hex("22 01 44 00 00 00 01 68 22 01 44") << 1;
    }
    void far_end_vanishes_mid_frame() {
        QFETCH(QByteArray, before);
        QFETCH(int, results);
        WiredWindow w;
        QSignalSpy shown(&w.form, &main_form::result_shown);
        const QString device = w.wire.slave_path();
        w.receive(before);
        w.wire.close_master();
        QTRY_VERIFY_WITH_TIMEOUT(!w.form.MSComm1->port_open(), 3000);
        QTest::qWait(300);  // a second report of the same loss would come now
        expect_closed(w.form);
        expect_one_message(w.form, {"已断开", device});
        QCOMPARE(shown.count(), results);
        QCOMPARE(w.form.MSComm1->in_buffer_count(), 0);
        // The reply store holds the last whole reply; the partial one never got there.
        const QByteArray stored = results > 0 ? before.left(8) : QByteArray(8, '\0');
        for (std::size_t i = 0; i < 8; ++i) {
            QCOMPARE(w.form.recv_buf.at(i), int(quint8(stored.at(qsizetype(i)))));
        }
    }

    void port_held_by_another_process_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("kill");  // how the holder lets go afterwards
        QTest::newRow("Qt lock, holder exits") << "qt" << false;
        QTest::newRow("Qt lock, holder killed") << "qt" << true;
        QTest::newRow("exclusive tty, holder exits") << "exclusive" << false;
        QTest::newRow("advisory lock, holder exits") << "flock" << false;
        QTest::newRow("advisory lock, holder killed") << "flock" << true;
    }
    void port_held_by_another_process() {
        QFETCH(QString, mode);
        QFETCH(bool, kill);
        if (mode == "exclusive" && ::geteuid() == 0) {
            QSKIP("the kernel lets root open a tty in exclusive use");
        }
        WiredWindow w(false);
        Holder holder(mode, w.wire.slave_path());
        QVERIFY2(holder.holding(), qPrintable(holder.error()));
        click(w.form.open_comm);
        expect_closed(w.form);
        expect_one_message(w.form, {"正被其他程序占用", w.wire.slave_path(), "串口 1"});
        dismiss_messages(&w.form);

        // Once the other program is gone, even without tidying up, the port opens.
        holder.end(kill);
        if (mode == "qt" && kill && ::geteuid() != 0) {
            QSKIP("a pty keeps the exclusive flag of a killed holder; only root reopens it");
        }
        click(w.form.open_comm);
        QVERIFY2(w.form.MSComm1->port_open(), qPrintable(shown_messages(&w.form).join('|')));
        QVERIFY(shown_messages(&w.form).isEmpty());
    }

    void link_to_something_else_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("directory") << "directory"
                                   << "不是串口设备";
        QTest::newRow("fifo") << "fifo"
                              << "不是串口设备";
        QTest::newRow("socket") << "socket"
                                << "不是串口设备";
        QTest::newRow("link to a file") << "link to a file"
                                        << "不是串口设备";
        QTest::newRow("character device that is no tty") << "null device"
                                                         << "不是串口设备";
    }
    void link_to_something_else() {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        WiredWindow w(false);
        const QString target = make_target(w.config, kind);
        QVERIFY2(!target.isEmpty(), qPrintable(kind));
        QVERIFY(w.config.link_port(1, target));
        click(w.form.open_comm);
        expect_closed(w.form);
        expect_one_message(w.form, {says, target, "串口 1"});
        // Nothing was left half-open: the real device opens on the next try.
        dismiss_messages(&w.form);
        QVERIFY(w.config.link_port(1, w.wire.slave_path()));
        click(w.form.open_comm);
        QVERIFY2(w.form.MSComm1->port_open(), qPrintable(shown_messages(&w.form).join('|')));
    }
};

QTEST_MAIN(FaultsTest)
#include "test_faults.moc"
