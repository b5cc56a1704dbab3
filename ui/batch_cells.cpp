#include "ui/batch_cells.h"

#include <QComboBox>
#include <QLineEdit>

#include "plan/setting_words.h"
#include "ui/controls.h"

namespace tarvok::ui {

namespace {

template <typename Value, std::size_t N>
QStringList names(const std::array<protocol::Named<Value>, N>& table) {
    QStringList list;
    for (const auto& entry : table) {
        list.append(text_of(entry.name));
    }
    return list;
}

// "19200 偶校验" for a value, "19200/偶校验" for the line column, as the writer has them.
QStringList lines(const QString& between) {
    QStringList list;
    for (const auto& rate : protocol::kBaudCodes) {
        for (const auto& parity : protocol::kParities) {
            list.append(QString::number(rate.baud) + between + text_of(parity.name));
        }
    }
    return list;
}

QStringList values(const QString& setting) {
    const auto* kind = plan::find_kind(setting.trimmed().toStdString());
    if (kind == nullptr) {
        return names(protocol::kModes) + names(protocol::kPowerOnStates);
    }
    switch (kind->value) {
    case protocol::Kind::mode:
        return names(protocol::kModes);
    case protocol::Kind::power_on:
        return names(protocol::kPowerOnStates);
    case protocol::Kind::line:
        break;
    }
    return lines(QStringLiteral(" "));
}

}  // namespace

QStringList batch_headers() {
    return {QStringLiteral("地址"), QStringLiteral("设置"),    QStringLiteral("通道"),
            QStringLiteral("值"),   QStringLiteral("线路"),    QStringLiteral("备注"),
            QStringLiteral("结果"), QStringLiteral("应答 ms"), QStringLiteral("时间"),
            QStringLiteral("说明")};
}

QStringList cell_choices(BatchColumn column, const QString& setting) {
    switch (column) {
    case setting_column:
        return names(protocol::kKinds);
    case channel_column: {
        QStringList list;
        for (int channel = 1; channel <= protocol::kChannelCount; ++channel) {
            list.append(text_of(protocol::channel_entry(static_cast<std::uint8_t>(channel))));
        }
        return list << text_of(protocol::channel_entry(protocol::kAllChannels));
    }
    case value_column:
        return values(setting);
    case line_column:
        return QStringList{QString()} + lines(QStringLiteral("/"));
    case address_column:
    case remark_column:
    case outcome_column:
    case reply_column:
    case time_column:
    case note_column:
    case kBatchColumns:
        break;
    }
    return {};
}

QWidget* CellChoices::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const QString setting = index.siblingAtColumn(setting_column).data().toString();
    const QStringList choices = cell_choices(static_cast<BatchColumn>(index.column()), setting);
    if (choices.isEmpty()) {
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(choices);
    combo->setMaxVisibleItems(16);
    return combo;
}

void CellChoices::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const QString text = index.data().toString();
        const int at = combo->findText(text);
        if (at >= 0) {
            combo->setCurrentIndex(at);
        }
        combo->setEditText(text);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void CellChoices::setModelData(QWidget* editor, QAbstractItemModel* model,
                               const QModelIndex& index) const {
    if (const auto* combo = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, combo->currentText());
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

}  // namespace tarvok::ui
