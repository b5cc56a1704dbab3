// The traffic window over a real pty: what the technician reads after each kind of
// exchange, in order, and a saved copy of it.
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "bus/traffic_words.h"
#include "protocol/reply.h"
#include "testbed/child.h"
#include "tests/support/pty_far_end.h"
#include "tests/support/window.h"
#include "ui/traffic_window.h"

using namespace tarvok::test;
using tarvok::ui::TrafficWindow;

namespace {

// The record's first line: when it began, by the wall clock.
const QRegularExpression kBegan(
    "^记录开始于 \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d（以下时间从此刻算起）$");

// The window's lines without their time column, after the first line, which must say
// when the record began.
QStringList shown_lines(const TrafficWindow* window) {
    QStringList lines = window->view->toPlainText().split('\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || !kBegan.match(lines.takeFirst()).hasMatch()) {
        return {QStringLiteral("(no first line with the date)")};
    }
    for (QString& line : lines) {
        line = line.section(QStringLiteral(" ms  "), 1);
    }
    return lines;
}

const QString kSent = "发送 55 01 44 00 00 00 01 9B · 地址 1 第1路 关联方式 不关联";
// At 1200 baud, 16 bytes take 134 ms; the module gets 100 ms more.
const QString kNoReply =
    "无应答 · 地址 1 在 234 ms 内没有有效回复，请检查模块地址、波特率和校验位、接线";

// The words every program uses for what it meets on a line.
QStringList shared_words(const QString& text) {
    QStringList found;
    for (const std::string_view words :
         {std::string_view("成功"), std::string_view("无应答"), tarvok::protocol::echo_words(),
          std::string_view("重复的回复"), std::string_view("迟到的回复"),
          tarvok::protocol::unmatched_words(), std::string_view("线路上一直有数据")}) {
        const QString word = QString::fromUtf8(words.data(), qsizetype(words.size()));
        if (text.contains(word)) {
            found << word;
        }
    }
    return found;
}

}  // namespace

using tarvok::test::PtyScript;
Q_DECLARE_METATYPE(PtyScript)

class TrafficTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { drop_offscreen_limits(); }

    // Steps: "press" Command1, "<hex>" bytes from the module, "lose" the far end.
    void every_exchange_in_words_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("lines");
        const QString ok = "接收 22 01 44 00 00 00 01 68 · 成功";
        QTest::newRow("success") << QStringList{"press", "22 01 44 00 00 00 01 68"}
                                 << QStringList{kSent, ok};
        QTest::newRow("failure") << QStringList{"press", "22 01 44 00 00 00 00 67"}
                                 << QStringList{kSent, "接收 22 01 44 00 00 00 00 67 · 失败"};
        QTest::newRow("checksum error")
            << QStringList{"press", "22 01 44 00 00 00 01 6C"}
            << QStringList{kSent, "接收 22 01 44 00 00 00 01 6C · 校验和错误（应为 68）", kNoReply};
        QTest::newRow("echo") << QStringList{"press", "55 01 44 00 00 00 01 9B"}
                              << QStringList{kSent, "接收 55 01 44 00 00 00 01 9B · 回显",
                                             kNoReply};
        QTest::newRow("garbled echo")
            << QStringList{"press", "55 01 44 00 00 01 01 9C"}
            << QStringList{kSent,
                           "接收 55 01 44 00 00 01 01 9C · 回显与发送的帧不一致，"
                           "可能是总线冲突或接线故障",
                           kNoReply};
        QTest::newRow("second reply")
            << QStringList{"press", "22 01 44 00 00 00 01 68", "22 01 44 00 00 00 01 68"}
            << QStringList{kSent, ok, ok + " · 重复的回复，可能有两个模块使用同一地址"};
        // Once the command's exchange has ended: past its deadline and the settle after it.
        QTest::newRow("late reply")
            << QStringList{"press", "wait", "22 01 44 00 00 00 01 68"}
            << QStringList{kSent, kNoReply,
                           ok + " · 迟到的回复（N ms），对应 地址 1 第1路 关联方式 不关联"};
        QTest::newRow("in three pieces")
            << QStringList{"press", "22 01 44", "00 00 00", "01 68"} << QStringList{kSent, ok};
        QTest::newRow("junk before a reply, then the next command")
            << QStringList{"press", "00 13 22 01 44 00 00 00 01 68", "press"}
            << QStringList{kSent, "丢弃 2 字节: 00 13", ok, kSent, kNoReply};
        QTest::newRow("no reply") << QStringList{"press"} << QStringList{kSent, kNoReply};
        QTest::newRow("another module's late reply")
            << QStringList{"press", "22 05 44 00 00 00 01 6C"}
            << QStringList{kSent, "接收 22 05 44 00 00 00 01 6C · 成功 · 可能是对先前命令的回复",
                           kNoReply};
        QTest::newRow("port lost")
            << QStringList{"lose"} << QStringList{"串口 · 串口 1（%1）已断开"};
    }
    void every_exchange_in_words() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, lines);
        WiredWindow w(false);
        pick(w.form.Combo3, 0);
        click(w.form.open_comm);
        w.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QTest::keyClick(&w.form, Qt::Key_F12);
        TrafficWindow* log = qobject_cast<tarvok::ui::TrafficWindow*>(w.form.traffic_window());
        QVERIFY(log && log->isVisible());
        for (const QString& step : steps) {
            if (step == "press") {
                click(w.form.Command1);
            } else if (step == "lose") {
                w.wire.close_master();
            } else if (step == "wait") {
                QTRY_VERIFY_WITH_TIMEOUT(shown_lines(log).contains(kNoReply), 5000);
            } else {
                w.receive(from_hex(qPrintable(step)));
            }
        }
        const QString opened = "串口 · 串口 1 已打开（" + w.wire.slave_path() + "，1200,n,8,1）";
        const QStringList expected =
            QStringList{opened} + lines.replaceInStrings("%1", w.wire.slave_path());
        QTRY_COMPARE_WITH_TIMEOUT(shown_lines(log).size(), expected.size(), 5000);
        const QStringList shown =
            shown_lines(log).replaceInStrings(QRegularExpression("（\\d+ ms）"), "（N ms）");
        QCOMPARE(shown, expected);
    }

    // The same bytes at the same times: the same words in 通讯记录 as from tarvokctl.
    void same_words_as_tarvokctl_data() {
        QTest::addColumn<PtyScript>("script");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("late") << PtyScript{150} << QStringList{"成功", "迟到的回复"};
        QTest::newRow("trickling") << PtyScript{10, 10} << QStringList{"成功"};
        QTest::newRow("echoed") << PtyScript{20, 0, true} << QStringList{"成功", "回显"};
        QTest::newRow("doubled") << PtyScript{5, 0, false, 10} << QStringList{"成功", "重复的回复"};
        QTest::newRow("foreign") << PtyScript{5, 0, false, -1, 1}
                                 << QStringList{"成功", "无应答", "可能是对先前命令的回复"};
        QTest::newRow("babbling") << PtyScript{5, 0, false, -1, 0, 4}
                                  << QStringList{"成功", "线路上一直有数据"};
        QTest::newRow("silent") << PtyScript{-1} << QStringList{"无应答"};
    }
    void same_words_as_tarvokctl() {
        QFETCH(PtyScript, script);
        QFETCH(QStringList, words);
        QString said;
        {
            const tarvok::testbed::ConfigDir config;
            const tarvok::testbed::PtyPair wire;
            QVERIFY(config.link_port(1, wire.slave_path()));
            tarvok::test::PtyFarEnd far(wire, script);
            tarvok::testbed::Child ctl(TARVOKCTL_PATH,
                                       {"--port", "1", "--retries", "0", "--address", "1", "mode",
                                        "--channel", "1", "不关联"});
            const auto ended = ctl.finish(10000, tarvok::testbed::Waiting::turning);
            said = QString::fromUtf8(ended.out) + ended.errors;
        }
        QCOMPARE(shared_words(said), words);
        WiredWindow w;
        tarvok::test::PtyFarEnd far(w.wire, script);
        click(w.form.Command1);
        const auto recorded = [&] {
            QString text;
            for (const auto& event : w.form.traffic().events()) {
                text += QString::fromStdString(tarvok::bus::traffic_words(event).text) + '\n';
            }
            return shared_words(text);
        };
        QTRY_COMPARE_WITH_TIMEOUT(recorded(), words, 5000);
    }

    void saved_as_text_or_csv() {
        WiredWindow w;
        w.form.open_traffic_window();
        click(w.form.Command1);
        w.receive(from_hex("22 01 44 00 00 00 01 68"));
        click(w.form.open_comm);  // closed and opened again: one record, one clock
        click(w.form.open_comm);
        QTemporaryDir dir;
        TrafficWindow* log = qobject_cast<tarvok::ui::TrafficWindow*>(w.form.traffic_window());
        log->save_to(dir.filePath("log.txt"));
        log->save_to(dir.filePath("log.csv"));
        QFile text(dir.filePath("log.txt"));
        QFile csv(dir.filePath("log.csv"));
        QVERIFY(text.open(QIODevice::ReadOnly) && csv.open(QIODevice::ReadOnly));
        const QStringList saved = QString::fromUtf8(text.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(saved.size(), 6);
        QVERIFY(kBegan.match(saved.at(0)).hasMatch() && saved.at(2).endsWith(kSent));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF记录开始," + saved.at(0).mid(6, 19).toUtf8() +
                                 "\n毫秒,类型,字节,说明\n"));  // UTF-8 for spreadsheets
        const QStringList rows = QString::fromUtf8(bytes.mid(3)).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(rows.value(4).endsWith(",接收,22 01 44 00 00 00 01 68,成功"),
                 qPrintable(rows.value(4)));
        QVERIFY(rows.value(6).section(',', 0, 0).toInt() >=
                rows.value(4).section(',', 0, 0).toInt());
        log->save_to(dir.filePath("no/such/folder/log.txt"));
        QTRY_COMPARE(log->findChildren<QMessageBox*>().size(), 1);
        QVERIFY(log->findChildren<QMessageBox*>().first()->text().contains("没有保存到"));
    }
};

QTEST_MAIN(TrafficTest)
#include "test_traffic.moc"
