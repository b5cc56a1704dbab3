// The rows of 批量配置: made by the generator, from a plan file or from the scan's
// modules, each checked by the plan reader's rules as it is typed, moved, deleted,
// copied, and saved as a plan file tarvokctl reads.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include <algorithm>
#include <set>

#include "plan/plan_words.h"
#include "plan/plan_writer.h"
#include "plan/run_words.h"
#include "protocol/number_text.h"
#include "ui/batch_cells.h"
#include "ui/batch_window.h"
#include "ui/text.h"

namespace tarvok::ui {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;     // on the address cell: the row's identity
constexpr int kFaultRole = Qt::UserRole + 2;  // on the address cell: its first fault's sentence
const QColor kFaultColour(255, 214, 214);

std::array<const std::string*, 6> fields(const plan::PlanRow& r) {
    // In the table's order, which is plan::Column's.
    return {&r.address, &r.setting, &r.channel, &r.value, &r.line, &r.remark};
}

bool placeholder(const plan::PlanRow& r) {
    return r.setting.empty() && r.channel.empty() && r.value.empty();
}

}  // namespace

int BatchWindow::row_id(int row) const {
    return table->item(row, address_column)->data(kIdRole).toInt();
}

void BatchWindow::append_row(const plan::PlanRow& cells) { insert_row(table->rowCount(), cells); }

void BatchWindow::insert_row(int row, const plan::PlanRow& cells) {
    updating_ = true;
    table->insertRow(row);
    for (int column = 0; column < kBatchColumns; ++column) {
        auto* item = new QTableWidgetItem;
        if (column > remark_column) {
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        }
        table->setItem(row, column, item);
    }
    table->item(row, address_column)->setData(kIdRole, next_id_++);
    updating_ = false;
    set_cells(row, cells);
}

void BatchWindow::set_cells(int row, const plan::PlanRow& cells) {
    updating_ = true;
    const auto texts = fields(cells);
    for (int column = 0; column <= remark_column; ++column) {
        table->item(row, column)->setText(from(*texts.at(std::size_t(column))));
    }
    updating_ = false;
    check_row_at(row);
}

plan::PlanRow BatchWindow::cells_of(int row) const {
    const auto text = [this, row](BatchColumn column) {
        return table->item(row, column)->text().toStdString();
    };
    return {text(address_column), text(setting_column), text(channel_column),
            text(value_column),   text(remark_column),  text(line_column)};
}

void BatchWindow::cell_changed(int row, int column) {
    if (updating_ || column > remark_column) {
        return;
    }
    clear_result(row);
    check_row_at(row);
    show_faults();
}

// Marks each cell at fault with the sentence tarvokctl prints for it. A channel range
// becomes one row per channel, as a plan file's range makes one setting per channel.
void BatchWindow::check_row_at(int row) {
    const plan::RowCheck check = plan::check_row(cells_of(row));
    if (check.steps.size() > 1) {
        for (std::size_t i = check.steps.size() - 1; i > 0; --i) {
            insert_row(row + 1, plan::row_cells(check.steps[i], plan_language()));
        }
        set_cells(row, plan::row_cells(check.steps.front(), plan_language()));
        return;
    }
    updating_ = true;
    for (int column = 0; column <= remark_column; ++column) {
        table->item(row, column)->setBackground(QBrush());
        table->item(row, column)->setToolTip({});
    }
    for (const plan::PlanError& fault : check.faults) {
        QTableWidgetItem* item =
            table->item(row, column_of(fault.column.value_or(plan::Column::address)));
        item->setBackground(kFaultColour);
        item->setToolTip(from(plan::error_words(fault)));
    }
    table->item(row, address_column)
        ->setData(kFaultRole,
                  check.ok() ? QString() : from(plan::error_words(check.faults.front())));
    updating_ = false;
}

void BatchWindow::show_faults() {
    int bad = 0;
    int first = -1;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!table->item(row, address_column)->data(kFaultRole).toString().isEmpty()) {
            first = bad++ == 0 ? row : first;
        }
    }
    note->setText(bad == 0
                      ? QString()
                      : tr("%n 行有误，已标出（鼠标停在格上可看原因）。第 %1 行：%2", nullptr, bad)
                            .arg(first + 1)
                            .arg(table->item(first, address_column)->data(kFaultRole).toString()));
}

void BatchWindow::clear_result(int row) {
    results_.erase(row_id(row));
    updating_ = true;
    for (int column = outcome_column; column < kBatchColumns; ++column) {
        table->item(row, column)->setText({});
        table->item(row, column)->setBackground(QBrush());
        table->item(row, column)->setToolTip({});
    }
    updating_ = false;
}

std::vector<int> BatchWindow::selected_rows() const {
    std::set<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedIndexes()) {
        rows.insert(index.row());
    }
    if (rows.empty() && table->currentRow() >= 0) {
        rows.insert(table->currentRow());
    }
    return {rows.begin(), rows.end()};
}

std::optional<std::vector<plan::PlanStep>> BatchWindow::steps() {
    std::vector<plan::PlanStep> all;
    for (int row = 0; row < table->rowCount(); ++row) {
        const plan::RowCheck check = plan::check_row(cells_of(row), row + 1);
        if (!check.ok()) {
            show_faults();
            return std::nullopt;
        }
        all.insert(all.end(), check.steps.begin(), check.steps.end());
    }
    return all;
}

void BatchWindow::add_generated() {
    const std::string typed = addresses->text().trimmed().toStdString();
    const auto list = protocol::address_list(typed);
    if (!list) {
        note->setText(tr("地址%1无效：请写 0 到 255 的地址，如 5、1-8 或 1-8,12")
                          .arg(from(plan::echo(typed))));
        addresses->setFocus();
        return;
    }
    const auto* kind = plan::find_kind(setting->currentText().toStdString());
    const bool takes_channel = kind != nullptr && plan::takes_channel(kind->value);
    std::vector<plan::PlanRow> made;
    for (const std::uint8_t address : *list) {
        const auto known = known_lines_.find(address);
        const plan::PlanRow row{
            std::to_string(address),
            setting->currentText().toStdString(),
            takes_channel ? channels->currentText().toStdString() : std::string(),
            value->currentText().toStdString(),
            {},
            known != known_lines_.end() ? line_cell(known->second).toStdString() : std::string()};
        const plan::RowCheck check = plan::check_row(row);
        if (!check.ok()) {
            note->setText(from(plan::error_words(check.faults.front())));
            return;
        }
        for (const plan::PlanStep& step : check.steps) {
            made.push_back(plan::row_cells(step, plan_language()));
        }
    }
    // Rows that name only a module, as the scan hands them over, are filled by these.
    for (int row = table->rowCount() - 1; row >= 0; --row) {
        const plan::PlanRow cells = cells_of(row);
        const bool generated_for = std::any_of(
            made.begin(), made.end(),
            [&](const plan::PlanRow& m) { return m.address == plan::trimmed(cells.address); });
        if (placeholder(cells) && generated_for) {
            results_.erase(row_id(row));
            table->removeRow(row);
        }
    }
    for (const plan::PlanRow& row : made) {
        append_row(row);
    }
    table->scrollToBottom();
    status->setText(tr("已添加 %n 行。", nullptr, int(made.size())));
    show_faults();
}

void BatchWindow::delete_rows() {
    const std::vector<int> rows = selected_rows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        results_.erase(row_id(*row));
        table->removeRow(*row);
    }
    show_faults();
}

// Each selected row passes its neighbour, the selection moving with it; a row at the
// end, or behind one that stays, stays.
void BatchWindow::move_rows(int by) {
    std::vector<int> rows = selected_rows();
    if (by > 0) {
        std::reverse(rows.begin(), rows.end());
    }
    std::set<int> stayed;
    std::set<int> after;
    updating_ = true;
    for (const int row : rows) {
        const int other = row + by;
        if (other < 0 || other >= table->rowCount() || stayed.contains(other)) {
            stayed.insert(row);
            after.insert(row);
            continue;
        }
        for (int column = 0; column < kBatchColumns; ++column) {
            QTableWidgetItem* mine = table->takeItem(row, column);
            table->setItem(row, column, table->takeItem(other, column));
            table->setItem(other, column, mine);
        }
        after.insert(other);
    }
    updating_ = false;
    table->clearSelection();
    for (const int row : after) {
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    show_faults();
}

void BatchWindow::copy_rows() {
    std::vector<int> rows = selected_rows();
    QStringList lines;
    for (const int row : rows) {
        QStringList cells;
        for (int column = 0; column < kBatchColumns; ++column) {
            cells.append(table->item(row, column)->text().simplified());
        }
        lines.append(cells.join(QLatin1Char('\t')));
    }
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    status->setText(
        tr("已复制 %n 行（制表符分隔，可粘贴到电子表格）。", nullptr, int(rows.size())));
}

}  // namespace tarvok::ui
