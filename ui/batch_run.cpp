// 批量配置's runs: the rows' steps through the plan runner on the port the main window
// lends, each row's outcome as it comes, stopping after the exchange in flight, and
// the port given back as it was.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>
#include <QTimer>

#include <numeric>

#include "bus/port_line.h"
#include "plan/plan_words.h"
#include "plan/row_check.h"
#include "plan/run_words.h"
#include "serial/port.h"
#include "serial/port_messages.h"
#include "ui/batch_cells.h"
#include "ui/batch_window.h"
#include "ui/text.h"
#include "ui/traffic.h"
#include "ui/value_words.h"

namespace tarvok::ui {

namespace {

QColor colour_of(plan::Outcome outcome) {
    switch (outcome) {
    case plan::Outcome::done:
        return {206, 240, 206};
    case plan::Outcome::refused:
    case plan::Outcome::no_reply:
        return {255, 214, 214};
    case plan::Outcome::unconfirmed:
        return {255, 236, 179};
    case plan::Outcome::not_sent:
        break;
    }
    return {228, 228, 228};
}

// "；" between the notes of one row.
QString separator() { return BatchWindow::tr("；"); }

// "14:03:05" of "2026-12-07 14:03:05": the table shows the time of day, the record all.
QString time_of_day(const std::string& stamp) { return from(stamp).section(QLatin1Char(' '), 1); }

}  // namespace

void BatchWindow::start() {
    if (running()) {
        return;
    }
    std::vector<int> rows(static_cast<std::size_t>(table->rowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    run_rows(rows, true);
}

void BatchWindow::retry_failed() {
    if (running() || !job_) {
        return;
    }
    std::vector<int> rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto shown = results_.find(row_id(row));
        if (shown != results_.end() && shown->second.result.outcome != plan::Outcome::done) {
            rows.push_back(row);
        }
    }
    if (rows.empty()) {
        status->setText(tr("没有失败的行。"));
        return;
    }
    run_rows(rows, false);
}

void BatchWindow::run_rows(const std::vector<int>& rows, bool fresh) {
    // A cell being edited (F5 leaves the focus in it) counts as typed so far: taking
    // the focus from it commits it.
    if (const QWidget* editing = QApplication::focusWidget();
        editing != nullptr && table->viewport()->isAncestorOf(editing)) {
        table->setFocus();
    }
    note->clear();
    if (rows.empty()) {
        note->setText(tr("表里还没有设置：用上面的“添加”生成，或打开计划文件。"));
        return;
    }
    std::vector<plan::PlanStep> steps;
    for (const int row : rows) {
        plan::RowCheck check = plan::check_row(cells_of(row), row + 1);
        if (!check.ok()) {
            table->setCurrentCell(row, address_column);
            note->setText(
                tr("什么也没有发送：%1").arg(from(plan::error_words(check.faults.front()))));
            return;
        }
        for (plan::PlanStep& step : check.steps) {
            if (const auto moved = moved_.find(step.address); moved != moved_.end()) {
                step.module_line = moved->second;  // proven by an earlier run
            }
            steps.push_back(std::move(step));
        }
    }
    const auto choice = owner_.port_choice();
    if (const auto* why = std::get_if<QString>(&choice)) {
        note->setText(*why);
        return;
    }
    if (owner_.lent()) {
        note->setText(tr("串口正被另一个窗口使用，请等它结束后再开始。"));
        return;
    }
    const auto& chosen = std::get<PortChoice>(choice);
    if (!lend_port(chosen)) {
        return;
    }
    if (fresh || !job_) {
        job_ = plan::JobFacts{};
        job_->started = stamp().toStdString();
        for (int row = 0; row < table->rowCount(); ++row) {
            clear_result(row);
        }
    }
    job_->ended.clear();
    job_->port = port_;
    job_->device = device_.toStdString();
    job_->line = chosen.line;
    for (const int row : rows) {
        clear_result(row);
    }
    run_rows_ = rows;
    told_line_ = chosen.line;
    plan::RunSettings settings;
    settings.line = chosen.line;
    settings.follow = true;
    runner_ = std::make_unique<plan::Runner>(*line_, settings, steps, *this);
    ended_.reset();
    stopping_ = false;
    progress->setRange(0, static_cast<int>(steps.size()));
    progress->setValue(0);
    set_running(true);
    QTimer::singleShot(0, this, [this] {
        if (runner_ && !runner_->running()) {
            runner_->start();
        }
    });
}

// The main window's port: borrowed as it is when open, else opened here at the
// chosen line and closed again when given back.
bool BatchWindow::lend_port(const PortChoice& chosen) {
    port_ = chosen.port;
    serial::Port& lent = owner_.lend();
    if (!lent.is_open()) {
        if (const auto error = lent.open(port_, chosen.line)) {
            note->setText(serial::open_failed(port_, *error));
            owner_.give_back();
            return false;
        }
        owner_.traffic().port_opened(port_, lent.device(), chosen.line);
    }
    device_ = lent.device();
    line_ = std::make_unique<bus::PortLine>(lent);
    return true;
}

void BatchWindow::stop() {
    if (running() && !stopping_) {
        stopping_ = true;
        status->setText(tr("正在停止：进行中的一项结束后停下……"));
        runner_->stop();
    }
}

void BatchWindow::step_started(std::size_t index, std::size_t total) {
    const int row = run_rows_.at(index);
    const plan::StepResult& r = runner_->results().at(index);
    table->scrollToItem(table->item(row, address_column));
    if (!stopping_) {
        status->setText(tr("正在发送 %1/%2 · 第 %3 行 · 地址 %4 · %5")
                            .arg(index + 1)
                            .arg(total)
                            .arg(row + 1)
                            .arg(r.step.address)
                            .arg(from(protocol::describe(r.step.request))));
    }
}

void BatchWindow::step_finished(const plan::StepResult& result) {
    const int row = result.step.line - 1;
    if (result.proven && result.moved_to) {
        moved_[result.step.address] = *result.moved_to;
    }
    RowResult& shown = results_[row_id(row)];
    shown = RowResult{result, stamp().toStdString(), {}};
    show_result(row, shown);
    progress->setValue(progress->value() + 1);
}

// Replies met after a row's outcome (late, or a second one) join its note.
void BatchWindow::remarked(const plan::Remark& remark) {
    if (!remark.step || *remark.step >= run_rows_.size()) {
        return;
    }
    const int row = run_rows_[*remark.step];
    const auto shown = results_.find(row_id(row));
    const std::string text = plan::remark_note(remark);
    if (shown == results_.end() || text.empty()) {
        return;
    }
    std::string& notes = shown->second.notes;
    notes += (notes.empty() ? std::string() : separator().toStdString()) + text;
    show_result(row, shown->second);
}

// The record names the line each frame goes out at, as the runner changes it.
void BatchWindow::noted(const bus::Note& note) {
    if (note.kind == bus::Note::Kind::sent && !(line_->setting() == told_line_)) {
        told_line_ = line_->setting();
        owner_.traffic().port_opened(port_, device_, told_line_);
    }
    owner_.traffic().noted(note);
}

void BatchWindow::exchanged(const bus::Result& result) { owner_.traffic().exchanged(result); }

// From the runner's own call: the runner goes once the loop is back.
void BatchWindow::run_finished(plan::RunEnd end) {
    ended_ = end;
    QTimer::singleShot(0, this, &BatchWindow::finish);
}

void BatchWindow::show_result(int row, const RowResult& shown) {
    const plan::StepResult& r = shown.result;
    std::string note_text = plan::result_note(r);
    if (r.attempts > 0 && job_ && !(r.line == job_->line)) {
        note_text = tr("按 %1 发送").arg(line_text(r.line)).toStdString() +
                    (note_text.empty() ? std::string() : separator().toStdString()) + note_text;
    }
    if (!shown.notes.empty()) {
        note_text += (note_text.empty() ? std::string() : separator().toStdString()) + shown.notes;
    }
    const std::array<QString, 4> texts = {from(plan::outcome_word(r.outcome)),
                                          from(plan::reply_ms_text(r)), time_of_day(shown.time),
                                          from(note_text)};
    updating_ = true;
    for (int column = outcome_column; column < kBatchColumns; ++column) {
        QTableWidgetItem* item = table->item(row, column);
        item->setText(texts.at(std::size_t(column - outcome_column)));
        item->setToolTip(column == time_column ? from(shown.time) : item->text());
    }
    table->item(row, outcome_column)->setBackground(colour_of(r.outcome));
    updating_ = false;
}

void BatchWindow::finish() {
    if (!ended_ || !runner_) {
        return;
    }
    // Settings the run never reached: their rows say why.
    const auto& results = runner_->results();
    for (std::size_t i = 0; i < results.size(); ++i) {
        const int row = run_rows_.at(i);
        if (!results_.contains(row_id(row))) {
            results_[row_id(row)] = RowResult{results[i], {}, {}};
            show_result(row, results_[row_id(row)]);
        }
    }
    std::optional<QString> failure;
    switch (*ended_) {
    case plan::RunEnd::completed:
    case plan::RunEnd::stopped:
        break;
    case plan::RunEnd::port_lost:
        failure = serial::port_lost(port_, device_);
        owner_.traffic().port_lost(device_);
        break;
    case plan::RunEnd::line_fault:
        failure = runner_->fault() == bus::LineFault::read ? serial::read_failed(port_, device_)
                                                           : serial::write_failed(port_, device_);
        break;
    }
    const bool completed = *ended_ == plan::RunEnd::completed;
    runner_.reset();
    line_.reset();
    if (const auto returned = owner_.give_back()) {
        failure = returned;
    }
    job_->ended = stamp().toStdString();
    set_running(false);
    status->setText((completed ? tr("运行完成：%1") : tr("运行已停止：%1")).arg(tally_words()));
    note->setText(failure.value_or(QString()));
    if (close_when_done_) {
        deleteLater();
    }
}

}  // namespace tarvok::ui
