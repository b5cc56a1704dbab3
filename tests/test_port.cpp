// Opening and closing the PC port over a real pseudo-terminal, and what the window
// does when an open fails or the line goes away.
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSerialPort>
#include <QTest>

#include <sys/resource.h>

#include "serial/port_directory.h"
#include "tests/support/config_dir.h"
#include "tests/support/pty_pair.h"
#include "tests/support/ui_helpers.h"
#include "ui/main_form.h"
#include "ui/spin_arrows.h"

using namespace tarvok::test;
using tarvok::ui::main_form;

namespace {

bool port_controls_enabled(const main_form& form) {
    return form.chuankou_num->isEnabled() && form.VScroll2->isEnabled() &&
           form.Combo3->isEnabled() && form.Combo7->isEnabled();
}

bool port_controls_disabled(const main_form& form) {
    return !form.chuankou_num->isEnabled() && !form.VScroll2->isEnabled() &&
           !form.Combo3->isEnabled() && !form.Combo7->isEnabled();
}

void expect_closed(const main_form& form) {
    QVERIFY(!form.MSComm1->port_open());
    QVERIFY(port_controls_enabled(form));
    QCOMPARE(form.open_comm->text(), QStringLiteral("打开串口"));
}

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

class PortTest : public QObject {
    Q_OBJECT

private slots:
    void open_applies_settings_data() {
        QTest::addColumn<int>("baud_index");
        QTest::addColumn<int>("parity_index");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("parity");
        QTest::newRow("defaults") << 3 << 0 << int(B9600) << int(QSerialPort::NoParity);
        QTest::newRow("2400 odd") << 1 << 1 << int(B2400) << int(QSerialPort::OddParity);
        QTest::newRow("115200 even") << 7 << 2 << int(B115200) << int(QSerialPort::EvenParity);
        QTest::newRow("1200 none") << 0 << 0 << int(B1200) << int(QSerialPort::NoParity);
    }
    void open_applies_settings() {
        QFETCH(int, baud_index);
        QFETCH(int, parity_index);
        QFETCH(int, speed);
        QFETCH(int, parity);
        ConfigDir config;
        PtyPair wire;
        QVERIFY(wire.ok());
        QVERIFY(config.link_port(1, wire.slave_path()));
        main_form form;
        pick(form.Combo3, baud_index);
        pick(form.Combo7, parity_index);
        click(form.open_comm);
        QVERIFY2(form.MSComm1->port_open(), qPrintable(shown_messages(&form).join('|')));
        QCOMPARE(form.MSComm1->device(), wire.slave_path());
        QCOMPARE(int(wire.slave_speed()), speed);
        QCOMPARE(int(form.MSComm1->port().parity()), parity);
        QCOMPARE(form.MSComm1->port().dataBits(), QSerialPort::Data8);
        QCOMPARE(form.MSComm1->port().stopBits(), QSerialPort::OneStop);
        QCOMPARE(form.MSComm1->rthreshold(), 8);
        QVERIFY(port_controls_disabled(form));
        QVERIFY(form.add->isEnabled() && form.VScroll1->isEnabled());
        QCOMPARE(form.open_comm->text(), QStringLiteral("关闭串口"));
        click(form.open_comm);
        expect_closed(form);
    }

    void reopen_takes_new_port_and_settings() {
        ConfigDir config;
        PtyPair first;
        PtyPair second;
        QVERIFY(config.link_port(1, first.slave_path()));
        QVERIFY(config.link_port(2, second.slave_path()));
        main_form form;
        click(form.open_comm);
        QCOMPARE(form.MSComm1->device(), first.slave_path());
        click(form.open_comm);
        form.MSComm1->set_rthreshold(0);
        form.chuankou_num->setText("2");
        pick(form.Combo3, 5);
        click(form.open_comm);
        QCOMPARE(form.MSComm1->device(), second.slave_path());
        QCOMPARE(int(second.slave_speed()), int(B38400));
        QCOMPARE(form.MSComm1->rthreshold(), 8);
    }

    void failed_open_explains_and_stays_closed_data() {
        QTest::addColumn<QString>("port_text");
        QTest::addColumn<QString>("link");  // what com5 points to: "" none, "file", "missing"
        QTest::addColumn<QString>("says");
        QTest::newRow("no such port") << "5"
                                      << ""
                                      << "打开串口 5 失败：找不到这个串口";
        QTest::newRow("port 0") << "0"
                                << ""
                                << "打开串口 0 失败";
        QTest::newRow("dangling link") << "5"
                                       << "missing"
                                       << "设备不存在";
        QTest::newRow("not a device") << "5"
                                      << "file"
                                      << "不是串口设备";
        QTest::newRow("letters") << "abc"
                                 << ""
                                 << "串口号“abc”不是有效的数字";
        QTest::newRow("beyond 16 bits") << "40000"
                                        << ""
                                        << "串口号“40000”不是有效的数字";
    }
    void failed_open_explains_and_stays_closed() {
        QFETCH(QString, port_text);
        QFETCH(QString, link);
        QFETCH(QString, says);
        ConfigDir config;
        const QString file = config.root() + "/plain-file";
        QFile(file).open(QIODevice::WriteOnly);
        if (link == "file") QVERIFY(config.link_port(5, file));
        if (link == "missing") QVERIFY(config.link_port(5, config.root() + "/gone"));
        main_form form;
        form.chuankou_num->setText(port_text);
        click(form.open_comm);
        expect_closed(form);
        const QStringList messages = shown_messages(&form);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(says), qPrintable(messages.first()));
        dismiss_messages(&form);
        QVERIFY(shown_messages(&form).isEmpty());
    }

    void port_held_by_another_program_is_named_busy() {
        ConfigDir config;
        PtyPair wire;
        QVERIFY(config.link_port(1, wire.slave_path()));
        QSerialPort other;
        other.setPortName(wire.slave_path());
        QVERIFY(other.open(QIODevice::ReadWrite));
        main_form form;
        click(form.open_comm);
        expect_closed(form);
        const QStringList messages = shown_messages(&form);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains("正被其他程序占用"), qPrintable(messages.first()));
        QVERIFY(messages.first().contains(wire.slave_path()));
    }

    void far_end_closing_returns_to_closed_without_spinning() {
        ConfigDir config;
        auto wire = std::make_unique<PtyPair>();
        QVERIFY(config.link_port(1, wire->slave_path()));
        main_form form;
        click(form.open_comm);
        QVERIFY(form.MSComm1->port_open());
        const QString device = wire->slave_path();
        wire.reset();  // the adapter is pulled: both ends of the pty go away
        QTRY_VERIFY_WITH_TIMEOUT(!form.MSComm1->port_open(), 3000);
        expect_closed(form);
        const double before = cpu_seconds();
        QTest::qWait(500);
        QVERIFY2(cpu_seconds() - before < 0.25, "the event loop kept spinning after the loss");
        const QStringList messages = shown_messages(&form);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains("已断开") && messages.first().contains(device),
                 qPrintable(messages.first()));
    }

    void tooltip_shows_current_table() {
        ConfigDir config;
        PtyPair wire;
        main_form form;
        QVERIFY(config.link_port(3, wire.slave_path()));
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2),
                        form.chuankou_num->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(form.chuankou_num, &help);
        QVERIFY2(form.chuankou_num->toolTip().contains("3 = " + wire.slave_path()),
                 qPrintable(form.chuankou_num->toolTip()));
    }

    void link_numbers_win_over_system_ports() {
        ConfigDir config;
        PtyPair wire;
        QVERIFY(config.link_port(1, wire.slave_path()));
        const auto table = tarvok::serial::port_table();
        QVERIFY(!table.isEmpty());
        QCOMPARE(table.first().number, 1);
        QCOMPARE(table.first().device, wire.slave_path());
        QSet<int> numbers;
        for (const auto& entry : table) {
            QVERIFY2(!numbers.contains(entry.number), "a port number is given twice");
            numbers.insert(entry.number);
        }
    }

    void closing_the_window_closes_the_port() {
        ConfigDir config;
        PtyPair wire;
        QVERIFY(config.link_port(1, wire.slave_path()));
        main_form form;
        form.show();
        click(form.open_comm);
        QVERIFY(form.MSComm1->port_open());
        QVERIFY(form.close());
        QVERIFY(!form.MSComm1->port_open());
        QSerialPort again;
        again.setPortName(wire.slave_path());
        QVERIFY2(again.open(QIODevice::ReadWrite),
                 "the port stayed locked after the window closed");
    }
};

QTEST_MAIN(PortTest)
#include "test_port.moc"
