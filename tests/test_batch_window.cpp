// 批量配置 against the real simulator: rows made by the generator, typed, opened from
// plan files and saved again; runs whose every row's outcome is checked against the
// modules' state, a module at another line followed, a run stopped and its failed
// rows sent again, a refusing and a silent module, and the job record.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/command_line.h"
#include "plan/plan_input.h"
#include "plan/plan_words.h"
#include "sim/module_engine.h"
#include "testbed/config_dir.h"
#include "testbed/simulator.h"
#include "tests/support/batch_rig.h"
#include "tests/support/sim_state.h"
#include "tests/support/window.h"
#include "ui/batch_cells.h"
#include "ui/batch_window.h"

using namespace tarvok;
using namespace tarvok::test;
using ui::BatchWindow;

namespace {

sim::ModuleState module(std::uint8_t address, const std::vector<protocol::Request>& requests) {
    sim::ModuleState state;
    state.address = address;
    for (const auto& request : requests) {
        state = sim::apply(state, request);
    }
    return state;
}

// Steps as plans compare: what is sent where, not which line of which file.
std::vector<plan::PlanStep> sent(std::vector<plan::PlanStep> steps, bool remarks) {
    for (auto& step : steps) {
        step.line = 0;
        step.remark = remarks ? step.remark : std::string();
    }
    return steps;
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName()
                                                                                : QString();
}

}  // namespace

class BatchWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { drop_offscreen_limits(); }

    // 2 modules × 8 channels × 2 settings from the generator, opened with Ctrl+B, run
    // with F5 on a port the window opens itself and closes again; the record and a copy.
    void generated_plan_runs() {
        Rig rig(QStringList{"--address", "1-2"}, false);
        QVERIFY(!rig.device.isEmpty());
        rig.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&rig.form));
        QTest::keyClick(&rig.form, Qt::Key_B, Qt::ControlModifier);
        rig.batch = qobject_cast<BatchWindow*>(rig.form.batch_window());
        QVERIFY(rig.batch && rig.batch->windowTitle() == QStringLiteral("批量配置"));
        rig.form.hide();  // offscreen, the window the keys went to would keep them
        rig.batch->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), rig.batch);
        generate(rig.batch, "1-2", "1-8", 0, "自锁");
        generate(rig.batch, "1-2", "1-8", 1, "上电开");
        QCOMPARE(rig.batch->table->rowCount(), 32);
        QVERIFY(run(rig.batch));
        QCOMPARE(column(rig.batch, ui::outcome_column), QStringList(32, "成功"));
        std::vector<protocol::Request> requests;
        for (std::uint8_t channel = 1; channel <= 8; ++channel) {
            requests.push_back(protocol::ModeSetting{channel, protocol::Mode::self_lock});
            requests.push_back(protocol::PowerOnSetting{channel, protocol::PowerOn::on});
        }
        QCOMPARE(tarvok::test::state(rig.sim, kRunWaitMs).value_or("(no state)"),
                 rig.expected({module(1, requests), module(2, requests)}));
        QVERIFY(!rig.form.MSComm1->port_open() && rig.form.open_comm->isEnabled() &&
                rig.form.Command1->isEnabled());

        QTemporaryDir dir;
        QVERIFY(rig.batch->save_record(dir.filePath("job.csv")));
        QFile saved(dir.filePath("job.csv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        const QString record = QString::fromUtf8(bytes);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF") &&
                record.contains("串口号,1\r\n设备," + rig.device));
        const QRegularExpression stamp("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
        QVERIFY(record.contains(QRegularExpression("开始," + stamp.pattern())));
        QCOMPARE(
            record.count(QRegularExpression(",成功,done,[\\d.]+,1,9600 无校验," + stamp.pattern())),
            32);

        rig.batch->table->selectRow(0);
        rig.batch->table->setFocus();
        QTest::keyClick(rig.batch->table, Qt::Key_C, Qt::ControlModifier);
        QVERIFY2(
            QApplication::clipboard()->text().startsWith("1\t关联方式\t第1路\t自锁\t\t\t成功\t"),
            qPrintable(QApplication::clipboard()->text()));
    }

    // A module at another line, and one whose line a row changes: later rows to it go
    // out at its new line. The port was open: it comes back open at its own line.
    void lines_are_followed() {
        Rig rig(QStringList{"--module", "1", "--module", "2@19200/even"});
        click(rig.form.open_comm);
        QVERIFY(rig.form.MSComm1->port_open());
        QTemporaryDir dir;
        rig.batch->open_plan(write(dir, "lines.csv",
                                   "地址,设置,通道,值,线路,备注\n"
                                   "2,关联方式,1,联动,19200/偶校验,在 19200 上\n"
                                   "1,通讯参数,,19200 偶校验\n"
                                   "1,关联方式,2,点动\n"
                                   "1,上电状态,全部,上电记忆\n"));
        QCOMPARE(rig.batch->table->rowCount(), 4);
        QVERIFY(run(rig.batch));
        QCOMPARE(column(rig.batch, ui::outcome_column), QStringList(4, "成功"));
        const QStringList notes = column(rig.batch, ui::note_column);
        QVERIFY2(notes.at(1).contains("此后按它与地址 1 通讯"), qPrintable(notes.at(1)));
        for (const int row : {0, 2, 3}) {
            QVERIFY2(notes.at(row).startsWith("按 19200 偶校验 发送"), qPrintable(notes.at(row)));
        }
        const protocol::LineSetting moved{19200, protocol::Parity::even};
        QCOMPARE(
            tarvok::test::state(rig.sim, kRunWaitMs).value_or("(no state)"),
            rig.expected({module(1, {moved, protocol::ModeSetting{2, protocol::Mode::momentary},
                                     protocol::PowerOnSetting{protocol::kAllChannels,
                                                              protocol::PowerOn::memory}}),
                          module(2, {moved, protocol::ModeSetting{1, protocol::Mode::linked}})}));
        QVERIFY(rig.form.MSComm1->port_open() && !rig.form.MSComm1->lent());
        QCOMPARE(rig.form.MSComm1->serial_port().line().baud, 9600U);
        QVERIFY(rig.form.Command1->isEnabled());
    }

    // Esc ends the run after the exchange in flight; what was not sent goes again with
    // 重试失败的行, and the modules end as if nothing had stopped.
    void stopped_and_retried() {
        Rig rig(QStringList{"--delay", "40"});
        generate(rig.batch, "1", "1-8", 0, "联动");
        QVERIFY(rig.batch_active);
        QTest::keyClick(rig.batch, Qt::Key_F5);
        QVERIFY(QTest::qWaitFor(
            [&] { return column(rig.batch, ui::outcome_column).count("成功") >= 2; }, kRunWaitMs));
        QTest::keyClick(rig.batch, Qt::Key_Escape);
        QVERIFY(QTest::qWaitFor([&] { return !rig.batch->running(); }, kRunWaitMs));
        const QStringList outcomes = column(rig.batch, ui::outcome_column);
        const auto done = outcomes.count("成功");
        QVERIFY2(done < 8 && outcomes.count("未发送") == 8 - done, qPrintable(outcomes.join(' ')));
        QVERIFY(rig.batch->status->text().startsWith("运行已停止"));
        std::vector<protocol::Request> requests;
        for (int channel = 1; channel <= done; ++channel) {
            requests.push_back(
                protocol::ModeSetting{std::uint8_t(channel), protocol::Mode::linked});
        }
        QCOMPARE(tarvok::test::state(rig.sim, kRunWaitMs).value_or("(no state)"),
                 rig.expected({module(1, requests)}));
        QVERIFY(run(rig.batch, true));
        QCOMPARE(column(rig.batch, ui::outcome_column), QStringList(8, "成功"));
        for (int channel = done + 1; channel <= 8; ++channel) {
            requests.push_back(
                protocol::ModeSetting{std::uint8_t(channel), protocol::Mode::linked});
        }
        QCOMPARE(tarvok::test::state(rig.sim, kRunWaitMs).value_or("(no state)"),
                 rig.expected({module(1, requests)}));
    }

    // A module that refuses and an address nobody answers: each row says so, and so
    // does the traffic record, which the main window alone would not show.
    void refused_and_silent() {
        Rig rig(QStringList{"--fail"});
        generate(rig.batch, "1,3", "1", 0, "自锁");
        QVERIFY(run(rig.batch));
        QCOMPARE(column(rig.batch, ui::outcome_column), (QStringList{"失败", "无应答"}));
        QVERIFY(column(rig.batch, ui::note_column).at(1).contains("没有有效应答"));
        const auto& events = rig.form.traffic().events();
        QVERIFY(std::any_of(events.begin(), events.end(), [](const ui::TrafficEvent& e) {
            return e.kind == ui::TrafficEvent::Kind::no_reply;
        }));
        QVERIFY(run(rig.batch, true));
        QCOMPARE(column(rig.batch, ui::outcome_column), (QStringList{"失败", "无应答"}));
        QCOMPARE(tarvok::test::state(rig.sim, kRunWaitMs).value_or("(no state)"),
                 rig.expected({module(1, {})}));
    }

    // Plans as people write them open as the plain one does; what the window saves,
    // tarvokctl's reader reads back to the very same steps.
    void plans_open_and_save_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain") << QByteArray(
            "address,setting,channel,value\n5,mode,3,self-lock\n"
            "5,mode,4,self-lock\n6,power-on,all,on\n");
        QTest::newRow("Chinese, titled, remarked") << QByteArray(
            "柜 3\n地址,设置,通道,值,备注\n5,关联方式,第3路,自锁,门边\n"
            "5,关联方式,第 4 路,自锁,\"左, 上\"\n6,上电状态,全部,上电开\n");
        QTest::newRow("ranged") << QByteArray(
            "地址,设置,通道,值\n5,mode,3-4,自锁\n6,power-on,all,on\n");
        QTest::newRow("GB18030") << QByteArray(
            "\xb5\xd8\xd6\xb7,\xc9\xe8\xd6\xc3,\xcd\xa8\xb5\xc0,"
            "\xd6\xb5\r\n5,mode,3,\xd7\xd4\xcb\xf8\r\n5,mode,4,"
            "\xd7\xd4\xcb\xf8\r\n6,power-on,all,\xc9\xcf\xb5\xe7\xbf\xaa\r\n");
    }
    void plans_open_and_save() {
        QFETCH(QByteArray, bytes);
        Rig rig(std::nullopt);
        QTemporaryDir dir;
        rig.batch->open_plan(write(dir, "plan.csv", bytes));
        const auto steps = rig.batch->steps();
        QVERIFY2(steps.has_value(), qPrintable(rig.batch->note->text()));
        const plan::Plan plain = plan::parse_plan(
            "address,setting,channel,value\n5,mode,3,self-lock\n"
            "5,mode,4,self-lock\n6,power-on,all,on\n");
        QVERIFY(sent(*steps, false) == sent(plain.steps, false));
        QVERIFY(rig.batch->save_plan(dir.filePath("saved.csv")));
        QFile saved(dir.filePath("saved.csv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const plan::Plan again = plan::parse_plan(saved.readAll().toStdString());
        QVERIFY(again.ok() && sent(again.steps, true) == sent(*steps, true));
    }

    // Cells typed as a technician types them: a bad one is marked with tarvokctl's
    // sentence and nothing is sent; a channel range becomes a row per channel.
    void typed_cells_are_checked() {
        Rig rig(std::nullopt);
        QVERIFY(rig.batch_active);
        generate(rig.batch, "5", "3", 0, "自锁");
        QTableWidget* table = rig.batch->table;
        table->setFocus();
        table->setCurrentCell(0, ui::address_column);
        QTest::keyClick(table, Qt::Key_5);  // starts editing the cell
        QTest::keyClicks(QApplication::focusWidget(), ".5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(table->item(0, ui::address_column)->text(), QStringLiteral("5.5"));
        QCOMPARE(table->item(0, ui::address_column)->toolTip(),
                 QString::fromStdString(plan::error_words(plan::fault_at(
                     0, plan::PlanFault::address_bad, plan::Column::address, "5.5"))));
        QTest::keyClick(rig.batch, Qt::Key_F5);
        QVERIFY(!rig.batch->running() && !rig.form.MSComm1->port_open());
        QVERIFY(rig.batch->note->text().startsWith("什么也没有发送：第 1 行：地址“5.5”"));
        table->item(0, ui::address_column)->setText("5");
        table->item(0, ui::channel_column)->setText("1-4");
        QCOMPARE(column(rig.batch, ui::channel_column),
                 (QStringList{"第1路", "第2路", "第3路", "第4路"}));
        QVERIFY(rig.batch->steps().has_value() && rig.batch->note->text().isEmpty());
        // F5 while a cell is being edited takes it as typed; a port that will not open
        // is said, and the main window has its port back.
        rig.form.chuankou_num->setText("200");
        table->setCurrentCell(0, ui::remark_column);
        QTest::keyClick(table, Qt::Key_A);
        QTest::keyClick(rig.batch->windowHandle(), Qt::Key_F5);  // as the window system does
        QCOMPARE(table->item(0, ui::remark_column)->text(), QStringLiteral("a"));
        QVERIFY(!rig.batch->running() && rig.batch->note->text().startsWith("打开串口 200 失败"));
        QVERIFY(!rig.form.MSComm1->lent() && rig.form.open_comm->isEnabled());
    }

    // tarvok PLAN.csv: one plan file, and no more.
    void plan_on_the_command_line() {
        const auto one =
            app::read_command_line(std::vector<std::string>{"-platform", "offscreen", "柜3.csv"});
        QCOMPARE(std::get<app::CommandLine>(one).plan, std::string("柜3.csv"));
        const auto two = app::read_command_line(std::vector<std::string>{"a.csv", "b.csv"});
        QCOMPARE(std::get<cmdline::Error>(two).value, std::string("b.csv"));
    }
};

QTEST_MAIN(BatchWindowTest)
#include "test_batch_window.moc"
