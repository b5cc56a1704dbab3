// Replies arriving on the wire and the two result dialogs they bring up.
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include "tests/support/wired_window.h"
#include "ui/result_dialogs.h"

using namespace tarvok::test;
using tarvok::ui::fm_cg;
using tarvok::ui::fm_sb;

namespace {

bool success_shown(tarvok::ui::main_form& form) {
    return form.dialogs().success() && form.dialogs().success()->isVisible();
}
bool failure_shown(tarvok::ui::main_form& form) {
    return form.dialogs().failure() && form.dialogs().failure()->isVisible();
}

template <typename Dialog>
int instances() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        count += qobject_cast<Dialog*>(w) != nullptr ? 1 : 0;
    }
    return count;
}

}  // namespace

class RepliesTest : public QObject {
    Q_OBJECT

private slots:
    void judged_by_start_checksum_and_bit0_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shows");  // "cg", "sb" or ""
        QTest::newRow("success") << from_hex("22 01 44 00 00 00 01 68") << "cg";
        QTest::newRow("FE is failure") << from_hex("22 01 44 00 00 00 FE 65") << "sb";
        QTest::newRow("03 is success") << from_hex("22 01 44 00 00 00 03 6A") << "cg";
        QTest::newRow("00 is failure") << from_hex("22 01 44 00 00 00 00 67") << "sb";
        QTest::newRow("sum wraps") << from_hex("22 FF FF FF FF FF 01 1E") << "cg";
        QTest::newRow("command start byte") << from_hex("55 01 44 00 00 00 01 9B") << "";
        QTest::newRow("checksum one off") << from_hex("22 01 44 00 00 00 01 69") << "";
        QTest::newRow("checksum without wrap") << from_hex("22 FF FF FF FF FF 01 FC") << "";
        QTest::newRow("other address and code") << from_hex("22 09 4B 00 00 00 01 77") << "cg";
    }
    void judged_by_start_checksum_and_bit0() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, shows);
        WiredWindow w;
        w.receive(reply);
        QCOMPARE(success_shown(w.form), shows == "cg");
        QCOMPARE(failure_shown(w.form), shows == "sb");
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(w.form.recv_buf.at(std::size_t(i)), int(quint8(reply.at(i))));
        }
        QCOMPARE(w.form.MSComm1->in_buffer_count(), 0);
    }

    void reply_in_pieces_is_judged_once_on_all_eight_data() {
        QTest::addColumn<QList<int>>("pieces");
        QTest::newRow("3 + 5") << QList<int>{3, 5};
        QTest::newRow("one at a time") << QList<int>{1, 1, 1, 1, 1, 1, 1, 1};
        QTest::newRow("7 + 1") << QList<int>{7, 1};
    }
    void reply_in_pieces_is_judged_once_on_all_eight() {
        QFETCH(QList<int>, pieces);
        WiredWindow w;
        const QByteArray reply = from_hex("22 01 44 00 00 00 01 68");
        int at = 0;
        for (int size : pieces) {
            QVERIFY(!success_shown(w.form));
            w.receive(reply.mid(at, size));
            at += size;
        }
        QVERIFY(success_shown(w.form));
        QCOMPARE(w.form.recv_buf.at(7), 0x68);
    }

    void sixteen_bytes_give_two_results() {
        WiredWindow w;
        w.receive(from_hex("22 01 44 00 00 00 01 68 22 01 44 00 00 00 00 67"));
        QVERIFY(success_shown(w.form));
        QVERIFY(failure_shown(w.form));
        QCOMPARE(w.form.recv_buf.at(6), 0);
    }

    void trailing_bytes_wait_for_the_rest() {
        WiredWindow w;
        w.receive(from_hex("22 01 44 00 00 00 01 68 22 01 44"));
        QVERIFY(success_shown(w.form));
        QCOMPARE(w.form.MSComm1->in_buffer_count(), 3);
        w.receive(from_hex("00 00 00 00 67"));
        QVERIFY(failure_shown(w.form));
    }

    void success_dialog_design() {
        WiredWindow w;
        w.receive(from_hex("22 01 44 00 00 00 01 68"));
        fm_cg* d = w.form.dialogs().success();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->windowTitle(), QStringLiteral("提示"));
        QCOMPARE(d->Label1->text(), QStringLiteral("修改成功"));
        QCOMPARE(d->Label1->font().pointSizeF(), 18.0);
        QCOMPARE(d->cmd_queding->text(), QStringLiteral("确定"));
        QCOMPARE(d->cmd_queding->font().pointSizeF(), 15.6);
        QCOMPARE(d->minimumSize(), QSize(190, 134));
        QCOMPARE(d->maximumSize(), QSize(190, 134));
        QCOMPARE(d->geometry().topLeft(), QPoint(825, 456));
        QCOMPARE(d->cmd_queding->geometry(), QRect(48, 80, 89, 33));
        QVERIFY(!d->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!d->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(d->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(d->parent() == nullptr);
        QVERIFY(!d->isModal());
        QCOMPARE(d->focusWidget(), d->cmd_queding);
        QVERIFY(!d->cmd_queding->isDefault() && !d->cmd_queding->autoDefault());
    }

    void failure_dialog_design_and_resize() {
        WiredWindow w;
        w.receive(from_hex("22 01 44 00 00 00 00 67"));
        fm_sb* d = w.form.dialogs().failure();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(d->Label1->text(), QStringLiteral("修改失败"));
        QCOMPARE(d->Command1->text(), QStringLiteral("确定"));
        QCOMPARE(d->size(), QSize(194, 122));
        QVERIFY(d->minimumSize() != d->maximumSize());
        QVERIFY(d->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(d->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(d->focusWidget(), d->Command1);
        const QRect before = d->Command1->geometry();
        d->resize(400, 300);
        QCOMPARE(d->Command1->geometry(), before);
        QCOMPARE(d->Label1->geometry(), QRect(48, 16, 121, 33));
    }

    void dialog_life_cycle() {
        WiredWindow w;
        const QByteArray ok = from_hex("22 01 44 00 00 00 01 68");
        w.receive(ok);
        QPointer<fm_cg> first = w.form.dialogs().success();
        w.receive(ok);
        QCOMPARE(instances<fm_cg>(), 1);
        QCOMPARE(w.form.dialogs().success(), first.data());
        click(first->cmd_queding);
        QVERIFY(!first->isVisible());
        QVERIFY(!first.isNull());
        w.receive(ok);
        QCOMPARE(w.form.dialogs().success(), first.data());
        QVERIFY(first->isVisible());
        QCOMPARE(first->Label1->text(), QStringLiteral("修改成功"));
        first->close();  // the title-bar close box
        QTRY_VERIFY(first.isNull());
        QCOMPARE(instances<fm_cg>(), 0);
        w.receive(ok);
        QVERIFY(success_shown(w.form));
        QCOMPARE(instances<fm_cg>(), 1);
    }

    void window_stays_usable_while_a_dialog_is_up() {
        WiredWindow w;
        w.receive(from_hex("22 01 44 00 00 00 01 68 22 01 44 00 00 00 00 67"));
        QVERIFY(success_shown(w.form) && failure_shown(w.form));
        click(w.form.Command1);
        QCOMPARE(to_hex(w.wire.read(8)), QByteArray("55 01 44 00 00 00 01 9B"));
        click(w.form.dialogs().failure()->Command1);
        QVERIFY(!failure_shown(w.form));
        QVERIFY(success_shown(w.form));
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

QTEST_MAIN(RepliesTest)
#include "test_replies.moc"
