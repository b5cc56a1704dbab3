// The window's controls as the design draws them: placed in twips, in the Song face,
// captioned in the window's language, lists filled from the protocol's tables with
// each entry carrying its value.
#pragma once

#include <QComboBox>
#include <QString>

#include <array>
#include <cstddef>
#include <string_view>

#include "form/design.h"
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

using Twips = form::Twips;

// Controls as the window's design gives them, in `parent`: the window or the frame
// the design puts them in.
QLabel* label(QWidget* parent, const form::Control& design);
QLineEdit* text_box(QWidget* parent, const form::Control& design);
// A button, or a setting button where the design says so.
QPushButton* button(QWidget* parent, const form::Control& design);
QGroupBox* frame(QWidget* parent, const form::Control& design);
// A drop-down list, filled where the design fills it.
QComboBox* combo(QWidget* parent, const form::Control& design);
SpinArrows* spin(QWidget* parent, const form::Control& design);

QPushButton* button(QWidget* parent, const char* caption, Twips at, double points);
// A button on a host of its own size, keeping the looks it has drawn: for buttons
// pressed often, whose clicks should cost little.
QPushButton* setting_button(QWidget* parent, const char* caption, Twips at, double points);
QGroupBox* frame(QWidget* parent, const char* caption, Twips at, double points);

QString text_of(std::string_view text);

// A caption or title of the design (form/design.h) in the window's language: the
// design's own, or its translation.
QString caption_text(std::string_view text);

// Each entry carries the value it stands for (form/lists.h).
void add_entries(QComboBox* combo, form::List list);

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
