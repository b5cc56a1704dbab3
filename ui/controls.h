// The window's controls as the design draws them: placed in twips, in the Song face,
// lists filled from the protocol's tables with each entry carrying its value.
#pragma once

#include <QComboBox>
#include <QString>

#include <array>
#include <cstddef>
#include <string_view>

#include "protocol/request.h"
#include "protocol/tables.h"

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tarvok::ui {

class SpinArrows;

struct Twips {
    int left, top, width, height;
};

QLabel* label(QWidget* parent, const char* text, Twips at, double points);
QLineEdit* text_box(QWidget* parent, Twips at, double points);
QPushButton* button(QWidget* parent, const char* caption, Twips at, double points);
// A button on a host of its own size, keeping the looks it has drawn: for buttons
// pressed often, whose clicks should cost little.
QPushButton* setting_button(QWidget* parent, const char* caption, Twips at, double points);
QGroupBox* frame(QWidget* parent, const char* caption, Twips at, double points);
// A drop-down list, filled by `entries` where the design fills it.
QComboBox* combo(QWidget* parent, Twips at, void (*entries)(QComboBox*) = nullptr);
SpinArrows* spin(QWidget* parent, Twips at);

// "19200 偶校验": a line in the words every program uses.
QString line_text(const protocol::LineSetting& line);

QString text_of(std::string_view text);

// Each entry carries the value it stands for, so what is sent never depends on
// where an entry stands in its list.
template <typename Value, std::size_t N>
void add_entries(QComboBox* combo, const std::array<protocol::Named<Value>, N>& table) {
    for (const auto& entry : table) {
        combo->addItem(text_of(entry.name), static_cast<int>(entry.value));
    }
}
void add_baud_entries(QComboBox* combo);
void add_parity_entries(QComboBox* combo);
void add_channel_entries(QComboBox* combo);

template <typename Value>
Value value_of(const QComboBox* combo) {
    return static_cast<Value>(combo->currentData().toUInt());
}

// Return and keypad Enter press the button while it has the focus, as Space does,
// without making it a default button.
void press_on_enter(QAbstractButton* button);

// Links a label to the box or list it names, and names that control after it for
// assistive technology, group title first ("修改输入输出关联方式 通道"). Buttons
// are named the same way when made.
void caption_for(QLabel* label, QWidget* box);

}  // namespace tarvok::ui
