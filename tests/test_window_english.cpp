// The windows in English: every caption of the main window and the result dialogs fits
// the design's geometry, no window shows Chinese, and the window's own sentences read as
// they should.
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/command_line.h"
#include "bus/traffic_words.h"
#include "form/lists.h"
#include "plan/run_words.h"
#include "tests/support/english.h"
#include "tests/support/window.h"
#include "ui/batch_cells.h"
#include "ui/batch_inbox.h"
#include "ui/result_dialogs.h"
#include "ui/scan_window.h"
#include "ui/traffic.h"
#include "ui/traffic_window.h"

using namespace tarvok::test;
using tarvok::ui::main_form;

namespace {

// The box a caption of the design is drawn in: a label's own, a button's contents, a
// frame's title (drawn from 10 px in), a list's field.
QSizeF caption_box(const QWidget* w) {
    if (const auto* button = qobject_cast<const QPushButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        return w->style()->subElementRect(QStyle::SE_PushButtonContents, &option, w).size();
    }
    if (qobject_cast<const QGroupBox*>(w))
        return QSizeF(w->width() - 11, w->fontMetrics().height());
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        return w->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, w)
            .size();
    }
    return w->contentsRect().size();
}

QString caption_of(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) return group->title();
    return qobject_cast<const QAbstractButton*>(w)->text();
}

// What is wrong with each caption and list entry of the main window and the result
// dialogs, against the design's Chinese words.
QStringList misfits(main_form& form, const tarvok::ui::fm_cg& done,
                    const tarvok::ui::fm_sb& failed) {
    QStringList wrong;
    const auto check = [&wrong](const QWidget* w, const QString& shown, std::string_view designed) {
        wrong << misfit(w->font(), shown,
                        QString::fromUtf8(designed.data(), qsizetype(designed.size())),
                        caption_box(w));
    };
    for (const auto& c : tarvok::form::kMainControls) {
        const QWidget* w = form.widget(c.id);
        if (c.kind == tarvok::form::Kind::list) {
            const auto entries = tarvok::form::entries(c.list);
            for (int i = 0; i < int(entries.size()); ++i)
                check(w, static_cast<const QComboBox*>(w)->itemText(i),
                      entries.at(std::size_t(i)).text);
        } else if (!c.text.empty() && c.kind != tarvok::form::Kind::text_box) {
            check(w, caption_of(w), c.text);
        }
    }
    form.port_opened_ui();
    check(form.open_comm, form.open_comm->text(), "关闭串口");
    form.port_closed_ui();
    for (const auto& [dialog, label, ok] :
         {std::tuple{&tarvok::form::kSuccessDialog, done.Label1, done.cmd_queding},
          std::tuple{&tarvok::form::kFailureDialog, failed.Label1, failed.Command1}}) {
        check(label, label->text(), dialog->message.text);
        check(ok, ok->text(), dialog->ok.text);
    }
    wrong.removeAll(QString());
    return wrong;
}

}  // namespace

class EnglishWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { drop_offscreen_limits(); }

    // In English every caption and list entry fits its box at the design's geometry
    // in the font it is drawn in, as the design's Chinese does.
    void english_captions_fit_the_design() {
        const InEnglish english;
        QVERIFY(english.loaded());
        main_form form;
        const tarvok::ui::fm_cg done;
        const tarvok::ui::fm_sb failed;
        QCOMPARE(form.Label3->text(), QStringLiteral("Port"));
        const QStringList wrong = misfits(form, done, failed);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
    }

    // Each window opened in English: no Chinese in any text it shows or names, and
    // some of them as they should read.
    void english_windows_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("main window")
            << 0
            << QStringList{
                   "Port", "Connect",           "Check",           "Pulse",       "Last", "All",
                   "Set",  "Input/output mode", "Address up/down", "Traffic log…"};
        QTest::newRow("traffic log") << 1 << QStringList{"Traffic log", "Clear", "Save…"};
        QTest::newRow("bus scan") << 2
                                  << QStringList{"Bus scan",
                                                 "Current baud rate and parity (9600 no parity)",
                                                 "All (24 baud rates and parities)",
                                                 "Add to batch setup"};
        QTest::newRow("batch setup")
            << 3
            << QStringList{"Batch setup",
                           "Retry failed rows",
                           "self-lock",
                           "all",
                           "Reply ms",
                           "Port: 1 · 9600 no parity (the main window's port, baud rate "
                           "and parity)"};
        QTest::newRow("result dialogs") << 4 << QStringList{"Notice", "Changed", "Failed", "OK"};
    }
    void english_windows() {
        QFETCH(int, window);
        QFETCH(QStringList, expected);
        const InEnglish english;
        main_form form;
        form.dialogs().show_success();
        form.dialogs().show_failure();
        const std::array<std::function<QWidget*()>, 5> open = {
            [&] {
                QContextMenuEvent menu(QContextMenuEvent::Mouse, {5, 5},
                                       form.mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(&form, &menu);
                return &form;
            },
            [&] { return form.open_traffic_window(), form.traffic_window(); },
            [&] { return form.open_scan_window(), form.scan_window(); },
            [&] { return form.open_batch_window(), form.batch_window(); },
            [&] { return static_cast<QWidget*>(form.dialogs().success()); }};
        QStringList texts = shown_texts(open.at(std::size_t(window))());
        if (window == 4) texts << shown_texts(form.dialogs().failure());
        if (window == 3) {  // every outcome word fits 结果 whole
            const auto* table = form.batch_window()->findChild<QTableWidget*>();
            const QFontMetrics metrics(table->font());
            for (std::size_t outcome = 0; outcome < tarvok::plan::kOutcomeNames.size(); ++outcome) {
                const auto word = tarvok::plan::outcome_word(tarvok::plan::Outcome(outcome));
                QVERIFY2(metrics.horizontalAdvance(QString::fromUtf8(word.data(), word.size())) <
                             table->columnWidth(tarvok::ui::outcome_column),
                         word.data());
            }
        }
        for (const QString& text : texts) QVERIFY2(!has_cjk(text), qPrintable(text));
        for (const QString& text : expected) QVERIFY2(texts.contains(text), qPrintable(text));
    }

    // Sentences the window makes itself, and Qt's own texts, in English.
    void english_sentences() {
        const InEnglish english;
        using tarvok::ui::TrafficEvent;
        const auto event = [](TrafficEvent::Kind kind, const char* bytes = "") {
            TrafficEvent e;
            e.kind = kind;
            e.port = 1;
            e.device = "/dev/ttyUSB0";
            e.settings = "9600,n,8,1";
            const QByteArray heard = QByteArray::fromHex(bytes);
            e.bytes.assign(heard.begin(), heard.end());
            e.about = tarvok::protocol::encode(
                5, tarvok::protocol::ModeSetting{3, tarvok::protocol::Mode::linked});
            e.waited_ms = 117;
            return QString::fromStdString(tarvok::bus::traffic_words(e).text);
        };
        main_form form;
        form.add->setText("x");
        click(form.Command1);
        QTemporaryDir folder;
        tarvok::ui::TrafficWindow log(form.traffic(), nullptr);
        log.save_to(folder.filePath("log.csv"));
        QFile saved(folder.filePath("log.csv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const std::pair<QString, QString> rows[] = {
            {event(TrafficEvent::Kind::opened), "port · port 1 opened (/dev/ttyUSB0, 9600,n,8,1)"},
            {event(TrafficEvent::Kind::lost), "port · port 1 (/dev/ttyUSB0) went away"},
            {event(TrafficEvent::Kind::no_reply),
             "no reply · address 5 gave no valid reply within 117 ms; check the module address, "
             "the baud rate and parity, and the wiring"},
            {event(TrafficEvent::Kind::junk, "00"), "dropped 1 byte: 00"},
            {event(TrafficEvent::Kind::junk, "0013"), "dropped 2 bytes: 00 13"},
            {tarvok::ui::began_words(QDateTime({2026, 12, 7}, {14, 3, 5})),
             "Record began at 2026-12-07 14:03:05 (the times below count from then)"},
            {QString::fromUtf8(saved.readAll()).section('\n', 1, 1), "ms,kind,bytes,meaning"},
            {shown_messages(&form).value(0),
             "Module address “x” is not valid: it must be a number from 0 to 255. Nothing was "
             "sent."},
            {form.findChild<QMessageBox*>()->windowTitle(), "Notice"},
            {form.findChild<QMessageBox*>()->button(QMessageBox::Ok)->text(), "OK"},
            {QString::fromStdString(tarvok::app::help_text()).section('\n', 0, 0),
             "Usage: tarvok [options] [plan file]"}};
        for (const auto& [made, expected] : rows) QCOMPARE(made, expected);
        QVERIFY(!has_cjk(QString::fromStdString(tarvok::app::help_text())));
        QLineEdit entry;
        const std::unique_ptr<QMenu> menu(entry.createStandardContextMenu());
        QVERIFY(!has_cjk(shown_texts(menu.get()).join(' ')));
    }

    // What the other windows say when a file cannot be written or a plan is wrong: in
    // English, naming the file and what to do, with no Chinese around the plan's faults.
    void english_file_messages() {
        const InEnglish english;
        QTemporaryDir folder;
        const QString nowhere = folder.filePath("gone/out.csv");
        QFile bad(folder.filePath("bad.csv"));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("address,colour\n1,red\n") > 0);
        bad.close();
        main_form form;
        tarvok::ui::TrafficWindow log(form.traffic(), nullptr);
        log.save_to(nowhere);
        form.open_scan_window();
        auto* scan = qobject_cast<tarvok::ui::ScanWindow*>(form.scan_window());
        QVERIFY(!scan->save_modules(nowhere));
        form.open_batch_window();
        dynamic_cast<tarvok::ui::BatchInbox*>(form.batch_window())->open_plan(bad.fileName());
        const QString plan_faults = shown_messages(form.batch_window()).value(0);
        const std::pair<QString, QString> rows[] = {
            {shown_messages(&log).value(0),
             "The traffic log was not saved to " + nowhere + ": cannot write. Try another place."},
            {scan->note->text(), "The modules found were not saved to " + nowhere +
                                     ": cannot write. Try another place."},
            {plan_faults.section('\n', 0, 0),
             "The plan file “bad.csv” has faults and was not opened:"}};
        for (const auto& [made, expected] : rows) QCOMPARE(made, expected);
        QVERIFY2(plan_faults.section('\n', 1).startsWith("line 1: ") &&
                     plan_faults.contains("header") && !has_cjk(plan_faults),
                 qPrintable(plan_faults));
    }
};

QTEST_MAIN(EnglishWindowTest)

#include "test_window_english.moc"
