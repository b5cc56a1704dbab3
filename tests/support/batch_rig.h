// 批量配置 in the main window against the real simulator, as its tests drive it.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

#include <optional>

#include "sim/module_engine.h"
#include "testbed/config_dir.h"
#include "testbed/simulator.h"
#include "tests/support/window.h"
#include "ui/batch_window.h"
#include "ui/main_form.h"

namespace tarvok::test {

using ui::BatchWindow;

inline constexpr int kRunWaitMs = 15000;  // only ever reached when something is wrong

// The window wired to the simulator as port 1, 批量配置 open.
struct Rig {
    tarvok::testbed::ConfigDir config;
    tarvok::testbed::Simulator sim;
    ui::main_form form;
    QString device;
    BatchWindow* batch = nullptr;
    bool batch_active = false;

    // `sim`: the simulator's options, or none for no simulator at all.
    explicit Rig(const std::optional<QStringList>& sim_args, bool open = true) {
        if (sim_args) {
            device =
                sim.start(QStringLiteral(TARVOK_SIM_PATH), QStringList{"--port", "1"} + *sim_args);
        }
        if (open) {
            form.open_batch_window();
            batch = qobject_cast<BatchWindow*>(form.batch_window());
            batch_active = QTest::qWaitForWindowActive(batch);
        }
    }
    // The state printout of `modules`, as the simulator should show it now.
    QString expected(const std::vector<sim::ModuleState>& modules) const {
        return QString::fromStdString(sim::state_text(modules));
    }
};

// One column of every row.
inline QStringList column(const BatchWindow* batch, int column) {
    QStringList texts;
    for (int row = 0; row < batch->table->rowCount(); ++row) {
        texts << batch->table->item(row, column)->text();
    }
    return texts;
}

inline void generate(BatchWindow* batch, const QString& addresses, const QString& channels,
                     int setting, const QString& value) {
    batch->addresses->setText(addresses);
    pick(batch->setting, setting);
    batch->channels->setCurrentText(channels);
    batch->value->setCurrentText(value);
    click(batch->add_button);
}

// Presses F5 (or 重试失败的行) and waits for the run to end.
inline bool run(BatchWindow* batch, bool retry = false) {
    batch->activateWindow();
    if (!QTest::qWaitFor([batch] { return QApplication::activeWindow() == batch; })) {
        return false;
    }
    if (retry) {
        click(batch->retry_button);
    } else {
        QTest::keyClick(batch, Qt::Key_F5);
    }
    return batch->running() && QTest::qWaitFor([batch] { return !batch->running(); }, kRunWaitMs);
}

}  // namespace tarvok::test
