// The address and port number boxes with their spin arrows.
#include <QLineEdit>
#include <QTest>

#include "tests/support/wired_window.h"
#include "ui/spin_arrows.h"

using namespace tarvok::test;
using tarvok::ui::main_form;
using tarvok::ui::SpinArrows;

namespace {

void press(SpinArrows* arrows, int direction) {
    const QRect r = direction > 0 ? arrows->upper_arrow() : arrows->lower_arrow();
    QTest::mouseClick(arrows, Qt::LeftButton, {}, r.center());
}

}  // namespace

class EntryTest : public QObject {
    Q_OBJECT

private slots:
    void typed_text_moves_the_spin_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("200") << "200" << 200 << "200";
        QTest::newRow("blanks") << " 7 " << 7 << "7";
        QTest::newRow("2.5 to even") << "2.5" << 2 << "2";
        QTest::newRow("3.5 to even") << "3.5" << 4 << "4";
        QTest::newRow("007 pasted") << "007" << 7 << "7";
        QTest::newRow("01 keeps its zero") << "01" << 1 << "01";
        QTest::newRow("leading blank, same value") << " 1" << 1 << " 1";
        QTest::newRow("empty") << "" << 1 << "";
        QTest::newRow("letters") << "abc" << 1 << "abc";
        QTest::newRow("sign only") << "-" << 1 << "-";
        QTest::newRow("-1") << "-1" << 1 << "-1";
        QTest::newRow("256") << "256" << 1 << "256";
        QTest::newRow("40000") << "40000" << 1 << "40000";
        QTest::newRow("0") << "0" << 0 << "0";
        QTest::newRow("255") << "255" << 255 << "255";
    }
    void typed_text_moves_the_spin() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(QString, shown);
        main_form form;
        for (auto [box, arrows] :
             {std::pair{form.add, form.VScroll1}, std::pair{form.chuankou_num, form.VScroll2}}) {
            box->setText(text);
            QCOMPARE(arrows->value(), value);
            QCOMPARE(box->text(), shown);
        }
        QVERIFY(shown_messages(&form).isEmpty());
    }

    void arrows_step_and_stop_at_the_ends() {
        main_form form;
        form.show();
        press(form.VScroll1, +1);
        QCOMPARE(form.add->text(), QStringLiteral("2"));
        press(form.VScroll1, -1);
        press(form.VScroll1, -1);
        QCOMPARE(form.add->text(), QStringLiteral("0"));
        press(form.VScroll1, -1);
        QCOMPARE(form.add->text(), QStringLiteral("0"));
        QCOMPARE(form.VScroll1->value(), 0);
        form.add->setText("255");
        press(form.VScroll1, +1);
        QCOMPARE(form.add->text(), QStringLiteral("255"));
        press(form.VScroll2, +1);
        QCOMPARE(form.chuankou_num->text(), QStringLiteral("2"));
    }

    void keys_step_like_the_arrows_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("up") << int(Qt::Key_Up) << "6";
        QTest::newRow("down") << int(Qt::Key_Down) << "4";
        QTest::newRow("page up steps one") << int(Qt::Key_PageUp) << "6";
        QTest::newRow("page down steps one") << int(Qt::Key_PageDown) << "4";
    }
    void keys_step_like_the_arrows() {
        QFETCH(int, key);
        QFETCH(QString, shown);
        main_form form;
        form.add->setText("5");
        QTest::keyClick(form.VScroll1, Qt::Key(key));
        QCOMPARE(form.add->text(), shown);
    }

    void both_arrows_fit_the_bar() {
        main_form form;
        const SpinArrows* bar = form.VScroll1;
        QCOMPARE(bar->size(), QSize(25, 25));
        QVERIFY(bar->upper_arrow().height() >= 12 && bar->lower_arrow().height() >= 12);
        QVERIFY(!bar->upper_arrow().intersects(bar->lower_arrow()));
        QCOMPARE(bar->arrow_at(QPoint(12, 3)), 1);
        QCOMPARE(bar->arrow_at(QPoint(12, 22)), -1);
    }

    void caret_keeps_its_place_after_a_rewrite() {
        main_form form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.add->setFocus();
        form.add->setCursorPosition(0);
        QTest::keyClick(form.add, Qt::Key_0);
        QCOMPARE(form.add->text(), QStringLiteral("01"));
        QTest::keyClick(form.add, Qt::Key_2);  // "021" becomes "21", caret after the 2
        QCOMPARE(form.add->text(), QStringLiteral("21"));
        QCOMPARE(form.add->cursorPosition(), 1);
        QTest::keyClick(form.add, Qt::Key_3);
        QCOMPARE(form.add->text(), QStringLiteral("231"));
        QCOMPARE(form.VScroll1->value(), 231);
    }

    void typed_digits_one_by_one() {
        main_form form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.add->setFocus();
        form.add->selectAll();
        QTest::keyClicks(form.add, "007");
        QCOMPARE(form.add->text(), QStringLiteral("7"));
        QCOMPARE(form.add->cursorPosition(), 1);
        QCOMPARE(form.VScroll1->value(), 7);
    }

    void port_pair_locked_while_open_address_pair_free() {
        WiredWindow w;
        QVERIFY(w.form.MSComm1->port_open());
        QVERIFY(!w.form.chuankou_num->isEnabled() && !w.form.VScroll2->isEnabled());
        press(w.form.VScroll2, +1);
        QCOMPARE(w.form.chuankou_num->text(), QStringLiteral("1"));
        press(w.form.VScroll1, +1);
        QCOMPARE(w.form.add->text(), QStringLiteral("2"));
    }

    void open_reads_the_text_not_the_spin() {
        WiredWindow w(false);
        w.form.chuankou_num->setText("x1");
        QCOMPARE(w.form.VScroll2->value(), 1);
        click(w.form.open_comm);
        QVERIFY(!w.form.MSComm1->port_open());
        QCOMPARE(shown_messages(&w.form).size(), 1);
        dismiss_messages(&w.form);
        w.form.chuankou_num->setText("01");
        click(w.form.open_comm);
        QVERIFY(w.form.MSComm1->port_open());
        QCOMPARE(w.form.MSComm1->device(), w.wire.slave_path());
    }
};

QTEST_MAIN(EntryTest)
#include "test_entry.moc"
