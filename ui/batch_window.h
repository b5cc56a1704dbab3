// "批量配置": many settings on many modules at once. Each row of its table is one
// setting of a plan as tarvokctl reads it (地址, 设置, 通道, 值, 线路, 备注), checked as
// it is typed by the plan reader's own rules, then the row's result. Rows come from a
// small generator (addresses × channels × one setting and value), from a plan file, or
// from the scan's modules. 开始 runs them through the plan runner (plan/runner.h) on
// the port the main window lends (ui/port_owner.h), opening and closing it when the main
// window had it closed, and each row shows its outcome as it comes; the job, with its
// start, end, port, device and line, is saved as a record (plan/job_record.h).
#pragma once

#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "plan/job_record.h"
#include "plan/runner.h"
#include "ui/batch_inbox.h"
#include "ui/port_owner.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QShortcut;
class QTableWidget;

namespace tarvok::bus {
class PortLine;
}

namespace tarvok::ui {

class BatchWindow : public QWidget, public plan::RunListener, public BatchInbox {
    Q_OBJECT

public:
    BatchWindow(PortOwner& owner, QWidget* parent);
    ~BatchWindow() override;

    QLabel* port_label;
    // The generator: addresses (1-8,12) × channels (3, 1-8, 全部) × one setting and value.
    QLineEdit* addresses;
    QComboBox* channels;
    QComboBox* setting;
    QComboBox* value;
    QPushButton* add_button;
    QPushButton* delete_button;
    QPushButton* up_button;
    QPushButton* down_button;
    QPushButton* open_button;
    QPushButton* save_button;
    QPushButton* start_button;
    QPushButton* stop_button;
    QPushButton* retry_button;
    QPushButton* record_button;
    QPushButton* copy_button;
    QTableWidget* table;
    QProgressBar* progress;
    QLabel* status;
    QLabel* note;  // what is wrong, or what the operator must do next

    bool running() const { return runner_ != nullptr; }
    // The rows' steps in table order, each with its row number as its line; nothing
    // when a row is bad (the note then names it).
    std::optional<std::vector<plan::PlanStep>> steps();

    // The generator's rows, at the end of the table.
    void add_generated();
    void delete_rows();
    void move_rows(int by);
    // The selected rows, tab-separated, on the clipboard.
    void copy_rows();
    void open_plan(const QString& path) override;
    void take_modules(const std::vector<KnownModule>& modules) override;
    // Write the rows as a plan file, or the job as a record; false, with a message, on failure.
    bool save_plan(const QString& path);
    bool save_record(const QString& path);

    void start();
    void retry_failed();
    // Ends after the exchange in flight.
    void stop();

    void step_started(std::size_t index, std::size_t total) override;
    void step_finished(const plan::StepResult& result) override;
    void remarked(const plan::Remark& remark) override;
    void noted(const bus::Note& note) override;
    void exchanged(const bus::Result& result) override;
    void run_finished(plan::RunEnd end) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct RowResult {
        plan::StepResult result;
        std::string time;
        std::string notes;  // met after the result: late or duplicate replies
    };

    // batch_window.cpp: the window.
    void lay_out();
    void add_keys();
    void name_controls();
    void show_choices();
    void fill_values();
    void set_running(bool running);
    void say(const QString& text);
    // `name`: the file the dialog proposes, in the home folder.
    void choose_file(bool save, const QString& title, const QString& name,
                     void (BatchWindow::*then)(const QString&));
    void open_chosen(const QString& path) { open_plan(path); }
    void save_chosen(const QString& path) { save_plan(path); }
    void record_chosen(const QString& path) { save_record(path); }
    // batch_rows.cpp: the rows.
    void append_row(const plan::PlanRow& cells);
    void insert_row(int row, const plan::PlanRow& cells);
    void set_cells(int row, const plan::PlanRow& cells);
    plan::PlanRow cells_of(int row) const;
    void cell_changed(int row, int column);
    void check_row_at(int row);
    void show_faults();
    void clear_result(int row);
    int row_id(int row) const;
    std::vector<int> selected_rows() const;
    // batch_files.cpp: plan files, the scan's modules and the record.
    void load(const QByteArray& bytes, const QString& path);
    // Now, as every time of a record is written.
    static QString stamp();
    // batch_run.cpp: the runs.
    void run_rows(const std::vector<int>& rows, bool fresh);
    bool lend_port(const PortChoice& chosen);
    void show_result(int row, const RowResult& shown);
    void finish();
    QString tally_words() const;

    PortOwner& owner_;
    std::unique_ptr<bus::PortLine> line_;
    std::unique_ptr<plan::Runner> runner_;
    std::map<int, RowResult> results_;                           // by row id, for the job so far
    std::map<std::uint8_t, protocol::LineSetting> known_lines_;  // from the scan
    // Modules a proven line setting of this window moved: later rows go there.
    std::map<std::uint8_t, protocol::LineSetting> moved_;
    std::optional<plan::JobFacts> job_;
    std::vector<int> run_rows_;  // the table rows of the run, in its order
    std::optional<plan::RunEnd> ended_;
    int port_ = 0;
    QString device_;
    protocol::LineSetting told_line_;  // the line the traffic record last named
    QShortcut* stop_key_ = nullptr;
    int next_id_ = 1;
    bool updating_ = false;  // cells being set by the window, not typed
    bool stopping_ = false;
    bool close_when_done_ = false;
};

}  // namespace tarvok::ui
