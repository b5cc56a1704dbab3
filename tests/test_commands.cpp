// The three setting buttons, checked byte for byte on the far side of the wire.
#include <QLineEdit>
#include <QTest>

#include "tests/support/wired_window.h"

using namespace tarvok::test;

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void frames_on_the_wire_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("channel");  // Combo1 index of the button's group
        QTest::addColumn<int>("first");    // Combo2, Combo4 or Combo5 index
        QTest::addColumn<int>("second");   // Combo6 index for Command3
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("ch3 self-lock")
            << "1" << 1 << 2 << 1 << 0 << QByteArray("55 01 44 00 00 01 03 9E");
        QTest::newRow("all momentary")
            << "1" << 1 << 32 << 3 << 0 << QByteArray("55 01 44 00 00 03 FF 9C");
        QTest::newRow("ch32 linked")
            << "1" << 1 << 31 << 2 << 0 << QByteArray("55 01 44 00 00 02 20 BC");
        QTest::newRow("all on") << "1" << 2 << 32 << 1 << 0
                                << QByteArray("55 01 46 FF FF FF FF 98");
        QTest::newRow("all off") << "1" << 2 << 32 << 0 << 0
                                 << QByteArray("55 01 46 00 00 00 00 9C");
        QTest::newRow("all memory")
            << "1" << 2 << 32 << 2 << 0 << QByteArray("55 01 49 FF FF FF FF 9B");
        QTest::newRow("ch1 on") << "1" << 2 << 0 << 1 << 0 << QByteArray("55 01 47 00 00 01 01 9F");
        QTest::newRow("ch1 off") << "1" << 2 << 0 << 0 << 0
                                 << QByteArray("55 01 47 00 00 01 00 9E");
        QTest::newRow("ch32 memory")
            << "1" << 2 << 31 << 2 << 0 << QByteArray("55 01 4A 00 00 20 01 C1");
        QTest::newRow("9600 none")
            << "1" << 3 << 0 << 3 << 0 << QByteArray("55 01 4B 00 00 96 00 37");
        QTest::newRow("addr 255 115200 even")
            << "255" << 3 << 0 << 7 << 2 << QByteArray("55 FF 4B 00 00 11 02 B2");
        QTest::newRow("1200 odd") << "1" << 3 << 0 << 0 << 1
                                  << QByteArray("55 01 4B 00 00 12 01 B4");
        QTest::newRow("57600") << "1" << 3 << 0 << 6 << 0 << QByteArray("55 01 4B 00 00 57 00 F8");
        QTest::newRow("addr 256 is 0")
            << "256" << 3 << 0 << 3 << 0 << QByteArray("55 00 4B 00 00 96 00 36");
        QTest::newRow("addr 300 is 44")
            << "300" << 3 << 0 << 3 << 0 << QByteArray("55 2C 4B 00 00 96 00 62");
        QTest::newRow("addr -256 is 0")
            << "-256" << 3 << 0 << 3 << 0 << QByteArray("55 00 4B 00 00 96 00 36");
        QTest::newRow("addr ' 7 '")
            << " 7 " << 3 << 0 << 3 << 0 << QByteArray("55 07 4B 00 00 96 00 3D");
        QTest::newRow("addr 2.5") << "2.5" << 3 << 0 << 3 << 0
                                  << QByteArray("55 02 4B 00 00 96 00 38");
        QTest::newRow("addr 01 left by operator")
            << "01" << 3 << 0 << 3 << 0 << QByteArray("55 01 4B 00 00 96 00 37");
    }
    void frames_on_the_wire() {
        QFETCH(QString, address);
        QFETCH(int, button);
        QFETCH(int, channel);
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QByteArray, frame);
        WiredWindow w;
        auto& f = w.form;
        QVERIFY(f.MSComm1->port_open());
        f.add->setText(address);
        if (button == 3) {
            press_setting(f, button, first, second);
        } else {
            press_setting(f, button, channel, first);
        }
        QCOMPARE(to_hex(w.wire.read(8)), frame);
        QVERIFY(shown_messages(&f).isEmpty());
    }

    void unconvertible_address_sends_nothing_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("-1") << "-1";
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("beyond 32 bits") << "4294967296";
    }
    void unconvertible_address_sends_nothing() {
        QFETCH(QString, address);
        WiredWindow w;
        w.form.add->setText(address);
        for (QPushButton* button : {w.form.Command1, w.form.Command2, w.form.Command3}) {
            click(button);
            const QStringList messages = shown_messages(&w.form);
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages.first().contains("模块地址必须是 0 到 255 之间的数字"),
                     qPrintable(messages.first()));
            dismiss_messages(&w.form);
        }
        QVERIFY(w.wire.silent());
        QCOMPARE(w.form.add->text(), address);
        QVERIFY(w.form.MSComm1->port_open());
    }

    void closed_port_writes_nothing_and_keeps_waiting_bytes() {
        WiredWindow w(false);
        w.wire.write(from_hex("22 01 44 00 00"));
        QTest::qWait(20);
        const int waiting = w.wire.waiting_at_slave();
        QCOMPARE(waiting, 5);
        for (QPushButton* button : {w.form.Command1, w.form.Command2, w.form.Command3}) {
            click(button);
        }
        QVERIFY(w.wire.silent());
        QCOMPARE(w.wire.waiting_at_slave(), waiting);
        QVERIFY(shown_messages(&w.form).isEmpty());
    }

    void open_port_discards_waiting_bytes_before_writing() {
        WiredWindow w;
        w.receive(from_hex("22 01 44 00 00"));
        QCOMPARE(w.form.MSComm1->in_buffer_count(), 5);
        click(w.form.Command3);
        QCOMPARE(w.form.MSComm1->in_buffer_count(), 0);
        QCOMPARE(to_hex(w.wire.read(8)), QByteArray("55 01 4B 00 00 96 00 37"));
        // The reply that follows is read from its own first byte, not from the stale ones.
        w.receive(from_hex("22 01 4B 00 00 00 01 6F"));
        QVERIFY(w.form.dialogs().success() && w.form.dialogs().success()->isVisible());
    }

    void frame2_after_frame4_carries_zeros() {
        WiredWindow w;
        pick(w.form.Combo1[1], 32);
        pick(w.form.Combo4, 1);
        click(w.form.Command2);
        QCOMPARE(to_hex(w.wire.read(8)), QByteArray("55 01 46 FF FF FF FF 98"));
        pick(w.form.Combo1[1], 0);
        click(w.form.Command2);
        QCOMPARE(to_hex(w.wire.read(8)), QByteArray("55 01 47 00 00 01 01 9F"));
    }

    void pressing_twice_sends_twice() {
        WiredWindow w;
        click(w.form.Command1);
        click(w.form.Command1);
        QCOMPARE(to_hex(w.wire.read(16)),
                 QByteArray("55 01 44 00 00 00 01 9B 55 01 44 00 00 00 01 9B"));
    }

    void module_serial_change_leaves_host_port_alone() {
        WiredWindow w;
        pick(w.form.Combo5, 7);
        pick(w.form.Combo6, 2);
        click(w.form.Command3);
        QCOMPARE(to_hex(w.wire.read(8)), QByteArray("55 01 4B 00 00 11 02 B4"));
        QCOMPARE(int(w.wire.slave_speed()), int(B9600));
        QCOMPARE(w.form.MSComm1->settings().baud, 9600U);
        QCOMPARE(w.form.Combo3->currentText(), QStringLiteral("9600"));
        QVERIFY(w.form.MSComm1->port_open());
    }
};

QTEST_MAIN(CommandsTest)
#include "test_commands.moc"
