// The bus scan window against the far side of a pty: what it puts on the wire at
// each line, what it lists, what a found module fills in, and the port as it was.
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>

#include <set>

#include "protocol/reply.h"
#include "protocol/scan.h"
#include "tests/support/window.h"
#include "ui/batch_cells.h"
#include "ui/batch_window.h"
#include "ui/scan_window.h"

using namespace tarvok;
using namespace tarvok::test;
using ui::TrafficEvent;

namespace {

// The termios code of each rate the module knows.
speed_t speed_of(std::uint32_t baud) {
    constexpr std::array<std::uint32_t, 8> rates = {1200,  2400,  4800,  9600,
                                                    19200, 38400, 57600, 115200};
    constexpr std::array<speed_t, 8> codes = {B1200,  B2400,  B4800,  B9600,
                                              B19200, B38400, B57600, B115200};
    const auto* at = std::find(rates.begin(), rates.end(), baud);
    return at == rates.end() ? B0 : codes.at(std::size_t(at - rates.begin()));
}

protocol::Frame frame_of(const QByteArray& bytes) {
    return protocol::frame_from(
        {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
}

}  // namespace

class ScanWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { drop_offscreen_limits(); }

    // Opened with Ctrl+F, once. The far end answers the first address, at 19200 with
    // even parity only; the next frame may follow its reply at once.
    void scan_finds_a_module_and_returns_the_port_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("first");  // the last address is 5
        QTest::newRow("port closed") << false << 4;
        QTest::newRow("port open at 9600") << true << 5;
    }
    void scan_finds_a_module_and_returns_the_port() {
        QFETCH(bool, open);
        QFETCH(int, first);
        WiredWindow w(open);
        w.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QTest::keyClick(&w.form, Qt::Key_F, Qt::ControlModifier);
        ui::ScanWindow* scan = qobject_cast<tarvok::ui::ScanWindow*>(w.form.scan_window());
        QVERIFY(scan && scan->isVisible() && scan->windowTitle() == QStringLiteral("扫描总线"));
        scan->all_lines->setChecked(true);
        scan->first_address->setValue(first);
        scan->last_address->setValue(5);
        click(scan->start_button);
        QVERIFY(!w.form.open_comm->isEnabled() && !w.form.Command3->isEnabled());

        const protocol::LineSetting answered{19200, protocol::Parity::even};
        const protocol::Frame asked = protocol::no_op_frame(std::uint8_t(first), answered);
        std::set<std::pair<std::uint32_t, protocol::Parity>> lines;
        int frames = 0;
        QElapsedTimer clock;
        clock.start();
        while (scan->scanning() && clock.elapsed() < 30'000) {
            const QByteArray bytes = w.wire.read(8, 500);
            const speed_t speed = w.wire.slave_speed();
            for (qsizetype at = 0; at + 8 <= bytes.size(); at += 8) {
                const protocol::Frame frame = frame_of(bytes.mid(at, 8));
                const protocol::Decoded decoded = protocol::decode(frame);
                const auto* request = std::get_if<protocol::Request>(&decoded);
                const auto* line = request ? std::get_if<protocol::LineSetting>(request) : nullptr;
                QVERIFY2(line && frame[1] >= first && frame[1] <= 5, to_hex(bytes.mid(at, 8)));
                QCOMPARE(speed, speed_of(line->baud));
                lines.insert({line->baud, line->parity});
                ++frames;
                if (frame == asked) {
                    w.wire.write(from_hex(
                        protocol::hex(protocol::make_reply(frame[1], 0x4B, true)).c_str()));
                }
            }
        }
        QVERIFY(!scan->scanning());
        QCOMPARE(lines.size(), std::size_t(24));
        QCOMPARE(frames, 24 * (6 - first));

        // Each frame in the record, the reply right after the frame it answers.
        const auto& events = w.form.traffic().events();
        const auto of_kind = [](TrafficEvent::Kind k) {
            return [k](const auto& e) { return e.kind == k; };
        };
        QCOMPARE(std::count_if(events.begin(), events.end(), of_kind(TrafficEvent::Kind::sent)),
                 frames);
        const auto reply =
            std::find_if(events.begin(), events.end(), of_kind(TrafficEvent::Kind::reply));
        QVERIFY(reply != events.end() && reply != events.begin() &&
                std::prev(reply)->bytes ==
                    std::vector<std::uint8_t>(asked.begin(), asked.begin() + 8));

        // Back as it was, buttons and receive events included.
        QVERIFY(w.form.Command3->isEnabled() && w.form.open_comm->isEnabled());
        QVERIFY(w.form.MSComm1->port_open() == open && !w.form.MSComm1->lent());
        if (open) {
            QCOMPARE(w.wire.slave_speed(), speed_t(B9600));
            w.receive(from_hex("22 01 44 00 00 00 01 68"));
            QVERIFY(success_shown(w.form));
        }

        QCOMPARE(scan->modules->topLevelItemCount(), 1);
        QTreeWidgetItem* item = scan->modules->topLevelItem(0);
        QCOMPARE(item->text(0) + " " + item->text(1) + " " + item->text(2),
                 QString::number(first) + " 19200 偶校验");
        const QPoint at = scan->modules->visualItemRect(item).center();
        QTest::mouseClick(scan->modules->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(scan->modules->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(w.form.add->text(), QString::number(first));
        QCOMPARE(w.form.Combo3->currentText(), open ? "9600" : "19200");
        QCOMPARE(w.form.Combo7->currentText(), open ? "无校验" : "偶校验");
        QCOMPARE(scan->note->text().contains("重新打开"), open);

        // Passed on: as text, and as rows of 批量配置 at the module's line.
        scan->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), scan);
        scan->modules->setFocus();
        QTest::keyClick(scan->modules, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("地址\t波特率\t校验位\n%1\t19200\t偶校验\n").arg(first));
        click(scan->batch_button);
        auto* batch = qobject_cast<ui::BatchWindow*>(w.form.batch_window());
        QVERIFY(batch && batch->table->rowCount() == 1);
        QCOMPARE(batch->addresses->text(), QString::number(first));
        click(batch->add_button);  // channels 1-8, each a row at the module's line
        QCOMPARE(batch->table->rowCount(), 8);
        QCOMPARE(batch->table->item(7, ui::line_column)->text(), QStringLiteral("19200/偶校验"));
        batch->close();
        w.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QTest::keyClick(&w.form, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(w.form.findChildren<ui::ScanWindow*>().size(), 1);
    }

    // Said once, in the scan window; the main window shows the port closed.
    void port_faults_are_said_in_the_scan_window_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("says");
        QTest::newRow("no such port") << "200"
                                      << "打开串口 200 失败";
        QTest::newRow("far end gone while open") << "1"
                                                 << "串口 1（%1）已断开";
    }
    void port_faults_are_said_in_the_scan_window() {
        QFETCH(QString, port);
        QFETCH(QString, says);
        WiredWindow w(port == "1");
        w.form.chuankou_num->setText(port);
        w.form.open_scan_window();
        ui::ScanWindow* scan = qobject_cast<tarvok::ui::ScanWindow*>(w.form.scan_window());
        click(scan->start_button);
        if (port == "1") {
            QVERIFY(!w.wire.read(8).isEmpty());
            w.wire.close_master();
        }
        QTRY_VERIFY(!scan->scanning());
        QVERIFY2(scan->note->text().startsWith(says.arg(w.wire.slave_path())),
                 qPrintable(scan->note->text()));
        QVERIFY(!w.form.MSComm1->port_open() && w.form.open_comm->isEnabled() &&
                w.form.open_comm->text() == QStringLiteral("打开串口"));
        QVERIFY(shown_messages(&w.form).isEmpty());
    }

    void closing_the_window_stops_the_scan_and_returns_the_port() {
        WiredWindow w;
        w.form.open_scan_window();
        QPointer<ui::ScanWindow> scan = qobject_cast<tarvok::ui::ScanWindow*>(w.form.scan_window());
        click(scan->start_button);
        QVERIFY(!w.wire.read(8).isEmpty());
        scan->close();
        QTRY_VERIFY(scan.isNull());
        QVERIFY(w.wire.silent());
        QVERIFY(w.form.MSComm1->port_open() && !w.form.MSComm1->lent() &&
                w.form.Command1->isEnabled());
    }
};

QTEST_MAIN(ScanWindowTest)
#include "test_scan_window.moc"
