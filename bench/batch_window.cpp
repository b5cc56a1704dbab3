// The window's side of bench_batch_plan: the real main window, its port opened with
// its own 打开串口 at the given port and rate, and 批量配置 made as the main window
// makes it (a plan file handed over, the way `tarvok PLAN.csv` opens it). Each run
// loads a plan through the window's open_plan and presses 开始; its clock runs from
// the press to the first time the event loop goes idle with the run over (running()
// false), so the rows' last repaint is counted and no polling interval is. One run of
// the long plan warms up, then the long plan and the plan of one setting alternate.
//
//   bench_batch_window <port> <baud> <plan> <plan of one setting> <runs of each>
// Prints "run <settings> <ms> <CPU ms>" for each run.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "bench/bench_support.h"
#include "plan/run_words.h"
#include "ui/batch_cells.h"
#include "ui/batch_window.h"
#include "ui/main_form.h"

using namespace tarvok::bench;
using tarvok::ui::BatchWindow;
using tarvok::ui::main_form;

namespace {

constexpr int kRunTimeoutMs = 60'000;

[[noreturn]] void give_up(const char* why) {
    std::fprintf(stderr, "bench_batch_window: %s\n", why);
    std::exit(1);
}

struct Sample {
    double ms;
    double cpu_ms;
};

// Every row of the table says its setting was done.
bool all_done(const BatchWindow& batch) {
    const auto done = QString::fromUtf8(tarvok::plan::outcome_word(tarvok::plan::Outcome::done));
    for (int row = 0; row < batch.table->rowCount(); ++row) {
        if (batch.table->item(row, tarvok::ui::outcome_column)->text() != done) {
            return false;
        }
    }
    return batch.table->rowCount() > 0;
}

// Loads `plan`, outside the clock, then one press of 开始 to the run's end.
Sample run(BatchWindow& batch, const QString& plan, int settings) {
    batch.open_plan(plan);
    QCoreApplication::processEvents();
    if (batch.table->rowCount() != settings) {
        give_up("the plan did not load");
    }
    QEventLoop loop;
    Clock::time_point end{};
    const auto idle = QObject::connect(QAbstractEventDispatcher::instance(),
                                       &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
                                           if (!batch.running() && end == Clock::time_point{}) {
                                               end = Clock::now();
                                               loop.exit(0);
                                           }
                                       });
    QTimer::singleShot(kRunTimeoutMs, &loop, [&loop] { loop.exit(1); });
    const double cpu_start = cpu_us();
    const auto start = Clock::now();
    QTest::mouseClick(batch.start_button, Qt::LeftButton);
    if (!batch.running()) {
        give_up(qPrintable("开始 did not start a run: " + batch.note->text()));
    }
    const int how = loop.exec();
    const double cpu = cpu_us() - cpu_start;
    QObject::disconnect(idle);
    if (how != 0 || !all_done(batch)) {
        give_up("a run did not do every setting");
    }
    return {std::chrono::duration<double, std::milli>(end - start).count(), cpu / 1000};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        give_up("usage: <port> <baud> <plan> <plan of one setting> <runs of each>");
    }
    quiet_offscreen();
    QApplication app(argc, argv);
    const QString plan = QString::fromLocal8Bit(argv[3]);
    const QString one = QString::fromLocal8Bit(argv[4]);
    const int runs = std::max(1, std::atoi(argv[5]));

    main_form form;
    form.chuankou_num->setText(QString::fromLatin1(argv[1]));
    form.Combo3->setCurrentIndex(form.Combo3->findData(QString::fromLatin1(argv[2]).toUInt()));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        give_up("the window was never shown");
    }
    QTest::mouseClick(form.open_comm, Qt::LeftButton);
    if (!form.MSComm1->port_open()) {
        give_up("the window could not open the port");
    }
    form.open_batch_file(plan);
    auto* batch = qobject_cast<BatchWindow*>(form.batch_window());
    if (batch == nullptr || !QTest::qWaitForWindowExposed(batch)) {
        give_up("批量配置 was never shown");
    }
    const int settings = batch->table->rowCount();
    run(*batch, plan, settings);
    for (int i = 0; i < runs; ++i) {
        for (const auto& [path, count] : {std::pair{plan, settings}, std::pair{one, 1}}) {
            const Sample s = run(*batch, path, count);
            std::printf("run %d %.3f %.3f\n", count, s.ms, s.cpu_ms);
        }
    }
    return 0;
}
