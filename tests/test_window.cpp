// The main window on its own, no wire: its lists, where it and its dialogs land on a
// small screen, names for assistive technology, keys, and the two number boxes. The
// windows in English are test_window_english.cpp.
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "tests/support/window.h"
#include "ui/design.h"
#include "ui/result_dialogs.h"
#include "ui/spin_arrows.h"

using namespace tarvok::test;
using tarvok::testbed::ConfigDir;
using tarvok::ui::main_form;

namespace {

QStringList entries(const QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i) {
        list.append(combo->itemText(i));
    }
    return list;
}

QStringList channels() {
    QStringList list;
    for (int i = 1; i <= 32; ++i) {
        list.append(QStringLiteral("第%1路").arg(i));
    }
    return list << "全部";
}

const QStringList kBauds = {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
const QStringList kParities = {"无校验", "奇校验", "偶校验"};

void show_and_wait(QWidget& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { drop_offscreen_limits(); }

    // The order is the operator's: reordering a table the lists come from shows here.
    void lists_and_defaults_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("selected");
        QTest::newRow("Combo1(0)") << 0 << channels() << 0;
        QTest::newRow("Combo1(1)") << 1 << channels() << 0;
        QTest::newRow("Combo2") << 2 << QStringList{"不关联", "自锁", "联动", "点动"} << 0;
        QTest::newRow("Combo3") << 3 << kBauds << 3;
        QTest::newRow("Combo4") << 4 << QStringList{"上电关", "上电开", "上电记忆"} << 0;
        QTest::newRow("Combo5") << 5 << kBauds << 3;
        QTest::newRow("Combo6") << 6 << kParities << 0;
        QTest::newRow("Combo7") << 7 << kParities << 0;
    }
    void lists_and_defaults() {
        QFETCH(int, list);
        QFETCH(QStringList, expected);
        QFETCH(int, selected);
        main_form f;
        const std::array<QComboBox*, 8> lists = {f.Combo1[0], f.Combo1[1], f.Combo2, f.Combo3,
                                                 f.Combo4,    f.Combo5,    f.Combo6, f.Combo7};
        QComboBox* combo = lists.at(std::size_t(list));
        QCOMPARE(entries(combo), expected);
        QCOMPARE(combo->currentIndex(), selected);
        QVERIFY(!combo->isEditable());
        QCOMPARE(f.windowTitle(), QStringLiteral("TarvokV1.6"));
        QVERIFY(f.minimumSize() == f.maximumSize());
        QVERIFY(!f.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    }

    // The screen is a small one, 1024 x 600 (small_screen.json).
    void windows_land_on_screen_data() {
        QTest::addColumn<QRect>("designed");
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("fits: as designed") << QRect(825, 456, 190, 134) << QPoint(825, 456);
        QTest::newRow("main window: least move") << QRect(662, 316, 533, 376) << QPoint(491, 224);
        QTest::newRow("off the right only") << QRect(1000, 20, 100, 80) << QPoint(924, 20);
        QTest::newRow("above and left") << QRect(-40, -9, 100, 80) << QPoint(0, 0);
        QTest::newRow("larger than the screen") << QRect(50, 50, 1200, 700) << QPoint(0, 0);
    }
    void windows_land_on_screen() {
        QFETCH(QRect, designed);
        QFETCH(QPoint, placed);
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1024, 600));
        QWidget window;
        tarvok::ui::place_window(&window, designed);
        QCOMPARE(window.geometry(), QRect(placed, designed.size()));
        const main_form form;
        QCOMPARE(form.geometry().topLeft(), QPoint(491, 224));
        const tarvok::ui::fm_cg dialog;
        QCOMPARE(dialog.geometry().topLeft(), QPoint(825, 456));
    }

    void every_control_has_a_name_for_assistive_technology() {
        main_form form;
        QSet<QString> names;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || qobject_cast<QLabel*>(w) ||
                !w->isVisibleTo(&form)) {
                continue;
            }
            const QString name = w->accessibleName();
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(name + w->objectName()));
            names.insert(name);
        }
        QCOMPARE(names.size(), 16);
        QCOMPARE(form.add->accessibleName(), QStringLiteral("模块地址"));
        QCOMPARE(form.VScroll1->accessibleName(), QStringLiteral("模块地址 增减"));
        QCOMPARE(form.Command1->accessibleName(), QStringLiteral("修改输入输出关联方式 修改"));
        QCOMPARE(form.Combo1[1]->accessibleName(), QStringLiteral("修改输出上电状态 通道"));
        QCOMPARE(form.Label5->buddy(), form.add);
    }

    void enter_presses_the_focused_button_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("pressed");
        for (const char* target : {"open_comm", "success OK", "failure OK"}) {
            QTest::addRow("%s, Return", target) << target << int(Qt::Key_Return) << true;
            QTest::addRow("%s, keypad Enter", target) << target << int(Qt::Key_Enter) << true;
            QTest::addRow("%s, Escape", target) << target << int(Qt::Key_Escape) << false;
        }
    }
    void enter_presses_the_focused_button() {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(bool, pressed);
        main_form form;
        form.chuankou_num->setText("x");  // a press then says so, whatever ports exist
        show_and_wait(form);
        form.dialogs().show_success();
        form.dialogs().show_failure();
        QPushButton* button = target == "open_comm"    ? form.open_comm
                              : target == "success OK" ? form.dialogs().success()->cmd_queding
                                                       : form.dialogs().failure()->Command1;
        QVERIFY(!button->isDefault() && !button->autoDefault());
        button->window()->activateWindow();
        button->setFocus();
        QTest::keyClick(button, Qt::Key(key));
        const auto effect = [&] {
            return target == "open_comm" ? !shown_messages(&form).isEmpty()
                                         : !button->window()->isVisible();
        };
        QTest::qWait(300);  // a click is animated for a moment before it lands
        QCOMPARE(effect(), pressed);
    }

    // Set by the program (or pasted whole), a number the spin can take is shown in
    // its plain form at once; typed key by key, it stays as typed until editing
    // finishes, so no key lands in a rewritten text.
    void text_and_spin_follow_each_other_data() {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");     // right after
        QTest::addColumn<QString>("finished");  // once focus leaves the box
        const std::tuple<const char*, bool, int, const char*, const char*> rows[] = {
            {"200", false, 200, "200", "200"}, {" 7 ", false, 7, "7", "7"},
            {"2.5", false, 2, "2", "2"},       {"007", false, 7, "7", "7"},
            {"01", false, 1, "01", "1"},       {"abc", false, 1, "abc", "abc"},
            {"256", false, 1, "256", "256"},   {"-1", false, 1, "-1", "-1"},
            {"1.51", true, 2, "1.51", "2"},    {"7.50", true, 8, "7.50", "8"},
            {"3.50", true, 4, "3.50", "4"},    {"007", true, 7, "007", "7"},
            {"300", true, 30, "300", "300"},
        };
        for (const auto& [text, typed, value, shown, finished] : rows) {
            QTest::addRow("%s%s", text, typed ? ", typed" : "")
                << typed << value << shown << finished;
        }
    }
    void text_and_spin_follow_each_other() {
        QFETCH(bool, typed);
        QFETCH(int, value);
        QFETCH(QString, shown);
        QFETCH(QString, finished);
        const QString text = QString::fromUtf8(QTest::currentDataTag()).section(", typed", 0, 0);
        main_form form;
        show_and_wait(form);
        for (auto [box, arrows] :
             {std::pair{form.add, form.VScroll1}, std::pair{form.chuankou_num, form.VScroll2}}) {
            box->setFocus();
            box->selectAll();
            typed ? QTest::keyClicks(box, text) : box->setText(text);
            QCOMPARE(box->text(), shown);
            QCOMPARE(arrows->value(), value);
            form.Combo3->setFocus();
            QCOMPARE(box->text(), finished);
        }
    }

    void arrows_step_and_stop_at_the_ends() {
        main_form form;
        show_and_wait(form);
        const auto press = [](tarvok::ui::SpinArrows* arrows, bool up) {
            const QRect r = up ? arrows->upper_arrow() : arrows->lower_arrow();
            QTest::mouseClick(arrows, Qt::LeftButton, {}, r.center());
        };
        press(form.VScroll1, true);
        QCOMPARE(form.add->text(), QStringLiteral("2"));
        for (int i = 0; i < 3; ++i) press(form.VScroll1, false);
        QCOMPARE(form.add->text(), QStringLiteral("0"));
        form.add->setText("255");
        press(form.VScroll1, true);
        QCOMPARE(form.add->text(), QStringLiteral("255"));
        press(form.VScroll2, true);
        QCOMPARE(form.chuankou_num->text(), QStringLiteral("2"));
    }

    void a_pasted_page_is_quoted_short() {
        ConfigDir no_ports;
        main_form form;
        const QString page(100'000, QLatin1Char('9'));
        for (auto [box, button] :
             {std::pair{form.add, form.Command1}, std::pair{form.chuankou_num, form.open_comm}}) {
            box->setText(page);
            click(button);
            const QStringList messages = shown_messages(&form);
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages.first().size() < 120 && messages.first().contains("…"),
                     qPrintable(messages.first().left(200)));
            dismiss_messages(&form);
        }
    }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
