// The window against the far side of a pty: what its buttons put on the wire, how
// it judges what comes back, and the result dialogs' life.
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include "tests/support/window.h"
#include "ui/result_dialogs.h"

using namespace tarvok::test;
using tarvok::ui::fm_cg;

namespace {

int success_dialogs() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        count += qobject_cast<fm_cg*>(w) != nullptr ? 1 : 0;
    }
    return count;
}

}  // namespace

class WireTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { drop_offscreen_limits(); }

    // One row per list a value is read from; the encoding of every request is the
    // protocol test's.
    void buttons_send_the_selected_values_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QList<int>>("press");  // button, first list position, second
        QTest::addColumn<QByteArray>("frame");
        const std::tuple<const char*, QList<int>, const char*> rows[] = {
            {"1", {1, 2, 1}, "55 01 44 00 00 01 03 9E"},    // ch3 self-lock
            {"1", {1, 32, 3}, "55 01 44 00 00 03 FF 9C"},   // all momentary
            {"1", {2, 32, 2}, "55 01 49 FF FF FF FF 9B"},   // all memory
            {"1", {2, 0, 1}, "55 01 47 00 00 01 01 9F"},    // ch1 on
            {"1", {2, 31, 0}, "55 01 47 00 00 20 00 BD"},   // ch32 off
            {"1", {3, 0, 1}, "55 01 4B 00 00 12 01 B4"},    // 1200 odd
            {"255", {3, 7, 2}, "55 FF 4B 00 00 11 02 B2"},  // 115200 even
            {"1.51", {3, 3, 0}, "55 02 4B 00 00 96 00 38"},
            {"01", {3, 3, 0}, "55 01 4B 00 00 96 00 37"},  // as typed, never rewritten
        };
        for (const auto& [address, press, frame] : rows) {
            QTest::newRow(frame) << address << press << QByteArray(frame);
        }
    }
    void buttons_send_the_selected_values() {
        QFETCH(QString, address);
        QFETCH(QList<int>, press);
        QFETCH(QByteArray, frame);
        WiredWindow w;
        QVERIFY(w.form.MSComm1->port_open());
        w.form.add->setText(address);
        press_setting(w.form, press[0], press[1], press[2]);
        QCOMPARE(to_hex(w.wire.read(8)), frame);
        QVERIFY(shown_messages(&w.form).isEmpty());
    }

    void address_outside_0_to_255_sends_nothing_data() {
        QTest::addColumn<QString>("address");
        for (const char* text : {"-1", "abc", "", "256", "300", "-256", "255.5"}) {
            QTest::newRow(text) << text;
        }
    }
    void address_outside_0_to_255_sends_nothing() {
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
    }

    void closed_port_writes_nothing_and_keeps_waiting_bytes() {
        WiredWindow w(false);
        w.wire.write(from_hex("22 01 44 00 00"));
        QTest::qWait(20);
        QCOMPARE(w.wire.waiting_at_slave(), 5);
        for (QPushButton* button : {w.form.Command1, w.form.Command2, w.form.Command3}) {
            click(button);
        }
        QVERIFY(w.wire.silent());
        QCOMPARE(w.wire.waiting_at_slave(), 5);
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
        QVERIFY(success_shown(w.form));
    }

    // The verdicts themselves are the protocol test's; here, that the window judges
    // each group of eight it reads, whole and in order, and only those.
    void replies_judged_by_start_checksum_and_bit0_data() {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QString>("shows");  // "cg", "sb", "cg sb" or ""
        QTest::addColumn<int>("left");       // bytes left waiting
        const QByteArray ok = from_hex("22 01 44 00 00 00 01 68");
        const QByteArray failed = from_hex("22 01 44 00 00 00 FE 65");
        QList<QByteArray> bytewise;
        for (qsizetype i = 0; i < ok.size(); ++i) bytewise.append(ok.mid(i, 1));
        QTest::newRow("success") << QList{ok} << "cg" << 0;
        QTest::newRow("FE fails") << QList{failed} << "sb" << 0;
        QTest::newRow("no command, other module")
            << QList{from_hex("22 09 4B 00 00 00 01 77")} << "cg" << 0;
        QTest::newRow("command start") << QList{from_hex("55 01 44 00 00 00 01 9B")} << "" << 0;
        QTest::newRow("checksum off by one")
            << QList{from_hex("22 01 44 00 00 00 01 69")} << "" << 0;
        QTest::newRow("3 + 5") << QList{ok.left(3), ok.mid(3)} << "cg" << 0;
        QTest::newRow("one at a time") << bytewise << "cg" << 0;
        QTest::newRow("two in one piece") << QList{ok + failed} << "cg sb" << 0;
        QTest::newRow("tail waits") << QList{ok + failed.left(3)} << "cg" << 3;
    }
    void replies_judged_by_start_checksum_and_bit0() {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QString, shows);
        QFETCH(int, left);
        WiredWindow w;
        QByteArray all;
        for (const QByteArray& piece : pieces) {
            QVERIFY(!success_shown(w.form) || all.size() >= 8);
            w.receive(piece);
            all += piece;
        }
        QCOMPARE(success_shown(w.form), shows.contains("cg"));
        QCOMPARE(failure_shown(w.form), shows.contains("sb"));
        const QByteArray last = all.mid((all.size() / 8 - 1) * 8, 8);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(w.form.recv_buf.at(std::size_t(i)), quint8(last.at(i)));
        }
        QCOMPARE(w.form.MSComm1->in_buffer_count(), left);
    }

    void dialogs_as_designed() {
        WiredWindow w;
        w.receive(from_hex("22 01 44 00 00 00 01 68 22 01 44 00 00 00 00 67"));
        fm_cg* cg = w.form.dialogs().success();
        tarvok::ui::fm_sb* sb = w.form.dialogs().failure();
        QCOMPARE(cg->windowTitle() + cg->Label1->text(), QStringLiteral("提示修改成功"));
        QCOMPARE(sb->windowTitle() + sb->Label1->text(), QStringLiteral("Form1修改失败"));
        QVERIFY(cg->minimumSize() == cg->maximumSize() && sb->minimumSize() != sb->maximumSize());
        QVERIFY(!cg->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(sb->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!cg->parent() && !cg->isModal() && !sb->parent() && !sb->isModal());
        QCOMPARE(cg->focusWidget(), cg->cmd_queding);
        QCOMPARE(sb->focusWidget(), sb->Command1);
        // The main window stays usable with both up.
        click(w.form.Command1);
        QCOMPARE(to_hex(w.wire.read(8)), QByteArray("55 01 44 00 00 00 01 9B"));
    }

    void dialog_life_cycle() {
        WiredWindow w;
        const QByteArray ok = from_hex("22 01 44 00 00 00 01 68");
        w.receive(ok);
        QPointer<fm_cg> first = w.form.dialogs().success();
        w.receive(ok);
        QCOMPARE(success_dialogs(), 1);
        click(first->cmd_queding);
        QVERIFY(!first.isNull() && !first->isVisible());
        w.receive(ok);
        QCOMPARE(w.form.dialogs().success(), first.data());
        QVERIFY(first->isVisible());
        first->close();  // the title-bar close box
        QTRY_VERIFY(first.isNull());
        QCOMPARE(success_dialogs(), 0);
        w.receive(ok);
        QVERIFY(success_shown(w.form));
        QCOMPARE(success_dialogs(), 1);
    }

    void closing_main_window_ends_the_program_data() {
        QTest::addColumn<bool>("hide_first");
        QTest::newRow("dialog visible") << false;
        QTest::newRow("dialog hidden") << true;
    }
    void closing_main_window_ends_the_program() {
        QFETCH(bool, hide_first);
        auto w = std::make_unique<WiredWindow>();
        w->form.show();
        w->receive(from_hex("22 01 44 00 00 00 01 68 22 01 44 00 00 00 00 67"));
        QPointer<fm_cg> success = w->form.dialogs().success();
        if (hide_first) {
            click(success->cmd_queding);
        }
        QTimer::singleShot(0, &w->form, [&] { w->form.close(); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(success.isNull());
        QVERIFY(!w->form.MSComm1->port_open());
    }
};

QTEST_MAIN(WireTest)
#include "test_wire.moc"
