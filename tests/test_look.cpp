// Every text the programs show is drawable without installed fonts: in Chinese Qt's
// own texts come translated, and the built-in face has every character of the
// programs' string literals, of Qt's translations and of the window's English.
#include <QDirIterator>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QtTest>

#include <array>
#include <memory>

#include "app/startup.h"
#include "ui/controls.h"
#include "ui/design.h"
#include "ui/fonts.h"
#include "words/language.h"

namespace {

using Characters = QMap<char32_t, QString>;  // character -> where it was found

// Every character in the string literals of the programs' sources, in Qt's own texts
// of ui/fonts/qt_texts.txt as translated, and in the window's translations
// (ui/translations/*.ts). Comments and character literals are matched too, so a quote
// in them starts no string.
Characters shown_characters() {
    static const QRegularExpression token(
        QStringLiteral("//[^\n]*|/\\*.*?\\*/|'(?:\\\\.|[^'\\\\\n])*'|\"((?:\\\\.|[^\"\\\\\n])*)\""),
        QRegularExpression::DotMatchesEverythingOption);
    Characters found;
    for (const char* folder : {"app", "ui", "protocol", "serial", "plan", "cli", "sim", "cmdline",
                               "bus", "form", "win"}) {
        QDirIterator files(QStringLiteral(TARVOK_SOURCE_DIR "/%1").arg(folder), {"*.cpp", "*.h"},
                           QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            file.open(QIODevice::ReadOnly);
            for (auto it = token.globalMatch(QString::fromUtf8(file.readAll())); it.hasNext();) {
                for (const char32_t c : it.next().captured(1).toUcs4())
                    found.insert(c, file.fileName());
            }
        }
    }
    static const QRegularExpression translated(
        QStringLiteral("<(?:translation|numerusform)[^>]*>([^<]*)<"));
    QDirIterator sources(QStringLiteral(TARVOK_SOURCE_DIR "/ui/translations"), {"*.ts"});
    while (sources.hasNext()) {
        QFile ts(sources.next());
        ts.open(QIODevice::ReadOnly);
        for (auto it = translated.globalMatch(QString::fromUtf8(ts.readAll())); it.hasNext();) {
            QString text = it.next().captured(1);
            text.replace("&lt;", "<")
                .replace("&gt;", ">")
                .replace("&quot;", "\"")
                .replace("&apos;", "'");
            for (const char32_t c : text.replace("&amp;", "&").toUcs4())
                found.insert(c, ts.fileName());
        }
    }
    QFile list(QStringLiteral(TARVOK_SOURCE_DIR "/ui/fonts/qt_texts.txt"));
    list.open(QIODevice::ReadOnly);
    for (const QByteArray& line : list.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QString shown = QCoreApplication::translate(line.split('\t')[0], line.split('\t')[1]);
        for (const char32_t c : shown.toUcs4()) found.insert(c, QStringLiteral("Qt: ") + shown);
    }
    return found;
}

// Each button or frame on a host of its own, filled as the window is, clear of the
// pointer's corner so that neither is drawn hovered.
QWidget* hosted(QWidget* window, int left) {
    auto* host = new QWidget(window);
    host->setGeometry(left, 100, 200, 80);
    host->setAutoFillBackground(true);
    return host;
}

}  // namespace

class TestLook : public QObject {
    Q_OBJECT

private slots:
    // The Chinese window, whatever the locale: Qt's texts below are checked in Chinese.
    void initTestCase() {
        tarvok::words::use_language(tarvok::words::Language::chinese);
        tarvok::app::prepare(*qApp);
    }

    void qt_texts_are_chinese() {
        const QMessageBox box(QMessageBox::Warning, QStringLiteral("提示"), {}, QMessageBox::Ok);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
        QLineEdit entry;
        const std::unique_ptr<QMenu> menu(entry.createStandardContextMenu());
        for (const QAction* action : menu->actions()) {
            const bool chinese = action->isSeparator() || action->text().front().unicode() > 0x7F;
            QVERIFY2(chinese, qPrintable(action->text()));
        }
    }

    // The setting buttons copy each look they have drawn before; every look must be
    // the one Qt draws, the first time and when copied.
    void setting_button_looks_as_qt_draws_it() {
        QWidget window;
        const tarvok::ui::Twips at{0, 0, 975, 375};
        QPushButton* ours = tarvok::ui::setting_button(hosted(&window, 100), "修改", at, 15);
        QPushButton* qt = tarvok::ui::button(hosted(&window, 300), "修改", at, 15);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        struct Look {
            const char* name;
            bool focused, down, enabled, bold;
        };
        constexpr std::array<Look, 6> looks{{{"plain", false, false, true, false},
                                             {"focused", true, false, true, false},
                                             {"down", true, true, true, false},
                                             {"up, unfocused", false, false, true, false},
                                             {"disabled", false, false, false, false},
                                             {"bold", true, false, true, true}}};
        // Only one button has the focus at a time, so each is set and drawn in turn.
        const auto drawn = [&window](QPushButton* button, const Look& look) {
            button->setFont(tarvok::ui::song(15, look.bold));
            button->setEnabled(look.enabled);
            button->setDown(look.down);
            look.focused ? button->setFocus(Qt::TabFocusReason) : window.setFocus();
            return button->parentWidget()->grab(button->geometry()).toImage();
        };
        for (int round = 0; round < 2; ++round) {
            for (const Look& look : looks) {
                QVERIFY2(drawn(ours, look) == drawn(qt, look), look.name);
            }
        }
    }

    // The frames draw their border and title themselves, as the style sheet they
    // replace did.
    void frame_looks_as_its_style_sheet_drew_it() {
        QWidget window;
        const tarvok::ui::Twips at{0, 0, 2700, 1095};
        QGroupBox* ours = tarvok::ui::frame(hosted(&window, 100), "修改通讯参数", at, 14.4);
        QGroupBox* sheet = tarvok::ui::frame(hosted(&window, 300), "修改通讯参数", at, 14.4);
        sheet->setStyleSheet(QStringLiteral(
            "QGroupBox { border: 1px solid palette(mid); margin-top: 0.55em; }"
            "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const bool enabled : {true, false}) {
            ours->setEnabled(enabled);
            sheet->setEnabled(enabled);
            QCOMPARE(ours->parentWidget()->grab().toImage(),
                     sheet->parentWidget()->grab().toImage());
        }
    }

    // Where SimSun is missing, "宋体" in either weight is the built-in face, which has
    // every character the programs show.
    void song_is_the_subset_of_every_shown_character_data() {
        QTest::addColumn<bool>("bold");
        QTest::newRow("Regular") << false;
        QTest::newRow("Bold") << true;
    }
    void song_is_the_subset_of_every_shown_character() {
        if (QFontDatabase::families().contains(QStringLiteral("SimSun")))
            QSKIP("SimSun is installed");
        QFETCH(bool, bold);
        QFont song(QString::fromUtf8(tarvok::ui::kSongFamily));
        song.setBold(bold);
        const QRawFont face = QRawFont::fromFont(song);
        QCOMPARE(QFontInfo(song).family(), QString::fromLatin1(tarvok::ui::kSubsetFamily));
        QCOMPARE(face.styleName(), QString::fromLatin1(QTest::currentDataTag()));
        const Characters shown = shown_characters();
        for (auto it = shown.begin(); it != shown.end(); ++it) {
            if (it.key() < 0x20 || face.supportsCharacter(it.key())) continue;
            QFAIL(qPrintable(
                QStringLiteral("%1 lacks “%2” (U+%3) of %4: run scripts/make_font_subset.sh")
                    .arg(face.styleName(), QString::fromUcs4(&it.key(), 1))
                    .arg(uint(it.key()), 4, 16, QLatin1Char('0'))
                    .arg(it.value())));
        }
    }
};

QTEST_MAIN(TestLook)
#include "test_look.moc"
