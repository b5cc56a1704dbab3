#include "ui/batch_cells.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

#include "plan/setting_words.h"
#include "ui/controls.h"
#include "ui/value_words.h"

namespace tarvok::ui {

namespace {

template <typename Value>
QString word(const protocol::Named<Value>& entry) {
    return text_of(plan_language() == plan::PlanLanguage::chinese ? entry.name : entry.alias);
}

template <typename Value, std::size_t N>
QStringList names(const std::array<protocol::Named<Value>, N>& table) {
    QStringList list;
    for (const auto& entry : table) {
        list.append(word(entry));
    }
    return list;
}

// "19200 偶校验" for a value, "19200/偶校验" for the line column, as the writer has them.
QStringList lines(const QString& between) {
    QStringList list;
    for (const auto& rate : protocol::kBaudCodes) {
        for (const auto& parity : protocol::kParities) {
            list.append(QString::number(rate.baud) + between + word(parity));
        }
    }
    return list;
}

QString channel_word(std::uint8_t channel) {
    if (plan_language() == plan::PlanLanguage::chinese) {
        return text_of(protocol::channel_entry(channel));
    }
    return channel == protocol::kAllChannels ? QStringLiteral("all") : QString::number(channel);
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

plan::PlanLanguage plan_language() {
    return in_english() ? plan::PlanLanguage::english : plan::PlanLanguage::chinese;
}

QString line_cell(const protocol::LineSetting& line) {
    const auto* parity = protocol::find_value(protocol::kParities, line.parity);
    return QString::number(line.baud) + QLatin1Char(' ') + word(*parity);
}

QStringList batch_headers() {
    constexpr std::array<const char*, kBatchColumns> kHeaders = {
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "地址"),
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "设置"),
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "通道"),
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "值"),
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "线路"),
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "备注"),
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "结果"),
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "应答 ms"),
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "时间"),
        QT_TRANSLATE_NOOP("tarvok::ui::BatchWindow", "说明")};
    QStringList headers;
    for (const char* header : kHeaders) {
        headers.append(QCoreApplication::translate("tarvok::ui::BatchWindow", header));
    }
    return headers;
}

QStringList cell_choices(BatchColumn column, const QString& setting) {
    switch (column) {
    case setting_column:
        return names(protocol::kKinds);
    case channel_column: {
        QStringList list;
        for (int channel = 1; channel <= protocol::kChannelCount; ++channel) {
            list.append(channel_word(static_cast<std::uint8_t>(channel)));
        }
        return list << channel_word(protocol::kAllChannels);
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
