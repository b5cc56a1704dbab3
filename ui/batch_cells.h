// The cells of 批量配置's table: its columns, and the drop-downs that offer the words
// the main window's lists use (关联方式, 第3路, 自锁, 19200 偶校验), still open to typing
// so a plan's aliases and ranges can be written as in a file.
#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

#include "plan/plan.h"
#include "plan/plan_writer.h"

namespace tarvok::ui {

// The table's columns: the plan's own in plan::Column's order, then the results.
enum BatchColumn {
    address_column,
    setting_column,
    channel_column,
    value_column,
    line_column,
    remark_column,
    outcome_column,
    reply_column,
    time_column,
    note_column,
    kBatchColumns
};

// The words the window writes into cells and plan files: in Chinese the main window's
// (关联方式, 第3路, 自锁), in English the aliases (mode, 3, self-lock). The plan reader
// takes either, whatever the language.
plan::PlanLanguage plan_language();

// "19200 偶校验", "19200 even": a line as the window writes a plan's 线路 cell.
QString line_cell(const protocol::LineSetting& line);

// The header words.
QStringList batch_headers();

inline BatchColumn column_of(plan::Column column) { return static_cast<BatchColumn>(column); }

// What the drop-down of a cell offers, in plan_language()'s words: the settings, the
// channels, the values of the setting `setting` names (every value when it names
// none), the lines.
QStringList cell_choices(BatchColumn column, const QString& setting);

// Gives the setting, channel, value and line cells an editable drop-down of their choices.
class CellChoices : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};

}  // namespace tarvok::ui
