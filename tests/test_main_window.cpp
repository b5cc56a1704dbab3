// The main window as the operator first sees it: lists, captions, fonts, geometry,
// focus order and enabled states.
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ui/fonts.h"
#include "ui/main_form.h"
#include "ui/spin_arrows.h"

using tarvok::ui::main_form;

namespace {

QStringList entries(const QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i) {
        list.append(combo->itemText(i));
    }
    return list;
}

const QStringList kBauds = {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
const QStringList kParities = {"无校验", "奇校验", "偶校验"};

QStringList channels() {
    QStringList list;
    for (int i = 1; i <= 32; ++i) {
        list.append(QStringLiteral("第%1路").arg(i));
    }
    list.append("全部");
    return list;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void lists_and_defaults_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("selected");
        QTest::newRow("Combo1(0)") << "Combo1(0)" << channels() << 0;
        QTest::newRow("Combo1(1)") << "Combo1(1)" << channels() << 0;
        QTest::newRow("Combo2") << "Combo2" << QStringList{"不关联", "自锁", "联动", "点动"} << 0;
        QTest::newRow("Combo4") << "Combo4" << QStringList{"上电关", "上电开", "上电记忆"} << 0;
        QTest::newRow("Combo5") << "Combo5" << kBauds << 3;
        QTest::newRow("Combo6") << "Combo6" << kParities << 0;
        QTest::newRow("Combo3") << "Combo3" << kBauds << 3;
        QTest::newRow("Combo7") << "Combo7" << kParities << 0;
    }
    void lists_and_defaults() {
        QFETCH(QString, name);
        QFETCH(QStringList, expected);
        QFETCH(int, selected);
        main_form form;
        const std::map<QString, QComboBox*> combos = {
            {"Combo1(0)", form.Combo1[0]}, {"Combo1(1)", form.Combo1[1]}, {"Combo2", form.Combo2},
            {"Combo3", form.Combo3},       {"Combo4", form.Combo4},       {"Combo5", form.Combo5},
            {"Combo6", form.Combo6},       {"Combo7", form.Combo7}};
        QComboBox* combo = combos.at(name);
        QCOMPARE(entries(combo), expected);
        QCOMPARE(combo->currentIndex(), selected);
        QVERIFY2(!combo->isEditable(), "a list must not accept typed text");
    }

    void captions_fonts_and_places_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QRect>("pixels");  // twips / 15, relative to the parent
        QTest::newRow("Label3") << "Label3"
                                << "串口号" << 15.6 << false << QRect(16, 8, 89, 25);
        QTest::newRow("open_comm") << "open_comm"
                                   << "打开串口" << 15.6 << false << QRect(256, 8, 97, 25);
        QTest::newRow("Label5") << "Label5"
                                << "模块地址" << 15.6 << false << QRect(256, 64, 89, 25);
        QTest::newRow("chuankou_num") << "chuankou_num"
                                      << "1" << 15.0 << false << QRect(112, 8, 41, 25);
        QTest::newRow("add") << "add"
                             << "1" << 15.0 << false << QRect(344, 64, 46, 25);
        QTest::newRow("Frame1") << "Frame1"
                                << "修改输入输出关联方式" << 14.4 << true
                                << QRect(24, 128, 489, 73);
        QTest::newRow("Frame2") << "Frame2"
                                << "修改输出上电状态" << 15.0 << true << QRect(24, 216, 489, 73);
        QTest::newRow("Frame3") << "Frame3"
                                << "修改通讯参数" << 15.0 << true << QRect(24, 304, 489, 65);
        QTest::newRow("Label8") << "Label8"
                                << "关联方式" << 14.4 << false << QRect(216, 32, 81, 17);
        QTest::newRow("Label10") << "Label10"
                                 << "默认状态" << 14.4 << false << QRect(216, 32, 81, 25);
        QTest::newRow("Label11") << "Label11"
                                 << "波特率" << 14.4 << false << QRect(16, 24, 65, 33);
        QTest::newRow("Command1") << "Command1"
                                  << "修改" << 15.0 << false << QRect(408, 32, 65, 25);
        QTest::newRow("Command3") << "Command3"
                                  << "修改" << 15.0 << false << QRect(408, 24, 65, 25);
        QTest::newRow("Combo3") << "Combo3"
                                << "9600" << 12.0 << false << QRect(96, 48, 81, 24);
        QTest::newRow("Combo1(1)") << "Combo1(1)"
                                   << "第1路" << 12.0 << false << QRect(80, 32, 81, 24);
    }
    void captions_fonts_and_places() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QRect, pixels);
        main_form form;
        const std::map<QString, QWidget*> widgets = {{"Label3", form.Label3},
                                                     {"open_comm", form.open_comm},
                                                     {"Label5", form.Label5},
                                                     {"chuankou_num", form.chuankou_num},
                                                     {"add", form.add},
                                                     {"Frame1", form.Frame1},
                                                     {"Frame2", form.Frame2},
                                                     {"Frame3", form.Frame3},
                                                     {"Label8", form.Label8},
                                                     {"Label10", form.Label10},
                                                     {"Label11", form.Label11},
                                                     {"Command1", form.Command1},
                                                     {"Command3", form.Command3},
                                                     {"Combo3", form.Combo3},
                                                     {"Combo1(1)", form.Combo1[1]}};
        QWidget* widget = widgets.at(name);
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
        if (auto* button = qobject_cast<QPushButton*>(widget)) text = button->text();
        if (auto* box = qobject_cast<QLineEdit*>(widget)) text = box->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget)) text = group->title();
        if (auto* combo = qobject_cast<QComboBox*>(widget)) text = combo->currentText();
        QCOMPARE(text, caption);
        QCOMPARE(widget->font().pointSizeF(), points);
        QCOMPARE(widget->font().bold(), bold);
        QCOMPARE(widget->geometry(), pixels);
        const QString family = QFontInfo(widget->font()).family();
        QVERIFY2(!tarvok::ui::song_face().isEmpty(), "no CJK face installed");
        QCOMPARE(family, tarvok::ui::song_face());
    }

    void window_is_fixed_with_title_and_icon() {
        main_form form;
        QCOMPARE(form.windowTitle(), QStringLiteral("TarvokV1.6"));
        QCOMPARE(form.minimumSize(), QSize(533, 376));
        QCOMPARE(form.maximumSize(), QSize(533, 376));
        QCOMPARE(form.geometry().topLeft(), QPoint(662, 316));
        const auto flags = form.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!form.windowIcon().isNull());
        QCOMPARE(form.windowIcon().availableSizes().value(0), QSize(32, 32));
    }

    void tab_order_and_initial_focus() {
        main_form form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), form.chuankou_num);
        const QList<QWidget*> expected = {
            form.open_comm, form.add,    form.VScroll1,  form.VScroll2,
            form.Command3,  form.Combo6, form.Combo5,    form.Command2,
            form.Combo1[1], form.Combo4, form.Combo1[0], form.Command1,
            form.Combo2,    form.Combo3, form.Combo7,    form.chuankou_num};
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void starts_closed_with_port_controls_enabled() {
        main_form form;
        QVERIFY(!form.MSComm1->port_open());
        QCOMPARE(form.open_comm->text(), QStringLiteral("打开串口"));
        for (QWidget* w : std::initializer_list<QWidget*>{
                 form.chuankou_num, form.VScroll2, form.Combo3, form.Combo7, form.add,
                 form.VScroll1, form.Command1, form.Command2, form.Command3}) {
            QVERIFY(w->isEnabled());
        }
        QCOMPARE(form.VScroll1->value(), 1);
        QCOMPARE(form.VScroll2->value(), 1);
        QVERIFY(
            std::all_of(form.recv_buf.begin(), form.recv_buf.end(), [](int v) { return v == 0; }));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
