#include "ui/controls.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "form/lists.h"
#include "ui/cached_button.h"
#include "ui/design.h"
#include "ui/frame_box.h"
#include "ui/spin_arrows.h"
#include "ui/value_words.h"

namespace tarvok::ui {

namespace {

// Captions and list entries are fixed texts, every character of them in the Song
// face, so they need no search of the system's fonts for a fallback; typed text does.
enum class Text { fixed, typed };

template <typename Widget>
Widget* placed(Widget* widget, Twips at, double points, Text text, bool bold = false) {
    place(widget, at.left, at.top, at.width, at.height);
    if (points > 0) {
        QFont font = song(points, bold);
        if (text == Text::fixed) {
            font.setStyleStrategy(QFont::NoFontMerging);
        }
        widget->setFont(font);
    }
    return widget;
}

class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button != nullptr && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                button->animateClick();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// What the translations call the design's captions (scripts/translations.sh).
constexpr const char* kCaptionContext = "form";

// The text, prefixed by the title of the group the widget sits in.
QString in_group(const QWidget* widget, const QString& text) {
    const auto* group = qobject_cast<const QGroupBox*>(widget->parentWidget());
    return group ? group->title() + QLatin1Char(' ') + text : text;
}

}  // namespace

QLabel* label(QWidget* parent, const form::Control& design) {
    return placed(new QLabel(caption_text(design.text), parent), design.at, design.points,
                  Text::fixed);
}

// The text comes after the font: laid out in Qt's default font first, it would load
// a face the window never shows.
QLineEdit* text_box(QWidget* parent, const form::Control& design) {
    auto* box = placed(new QLineEdit(parent), design.at, design.points, Text::typed);
    box->setText(text_of(design.text));
    return box;
}

namespace {

// `in_box` is the widget whose parent may be a group box: the button, or its host.
QPushButton* made_button(QPushButton* widget, const QWidget* in_box, Twips at, double points) {
    placed(widget, at, points, Text::fixed);
    widget->setAutoDefault(false);
    widget->setAccessibleName(in_group(in_box, widget->text()));
    press_on_enter(widget);
    return widget;
}

QPushButton* plain_button(QWidget* parent, const QString& caption, Twips at, double points) {
    auto* widget = new QPushButton(caption, parent);
    return made_button(widget, widget, at, points);
}

QPushButton* cached_button(QWidget* parent, const QString& caption, Twips at, double points) {
    // Without an opaque widget under it, each repaint of the button would repaint the
    // group box too, measuring and drawing its title.
    auto* host = new QWidget(parent);
    place(host, at.left, at.top, at.width, at.height);
    host->setAutoFillBackground(true);
    return made_button(new CachedButton(caption, host), host, {0, 0, at.width, at.height}, points);
}

}  // namespace

QPushButton* button(QWidget* parent, const char* caption, Twips at, double points) {
    return plain_button(parent, QString::fromUtf8(caption), at, points);
}

QPushButton* setting_button(QWidget* parent, const char* caption, Twips at, double points) {
    return cached_button(parent, QString::fromUtf8(caption), at, points);
}

QGroupBox* frame(QWidget* parent, const char* caption, Twips at, double points) {
    return placed(new FrameBox(QString::fromUtf8(caption), parent), at, points, Text::fixed, true);
}

QPushButton* button(QWidget* parent, const form::Control& design) {
    const QString caption = caption_text(design.text);
    return design.kind == form::Kind::setting_button
               ? cached_button(parent, caption, design.at, design.points)
               : plain_button(parent, caption, design.at, design.points);
}

QGroupBox* frame(QWidget* parent, const form::Control& design) {
    return placed(new FrameBox(caption_text(design.text), parent), design.at, design.points,
                  Text::fixed, design.bold);
}

QComboBox* combo(QWidget* parent, const form::Control& design) {
    auto* widget = placed(new QComboBox(parent), design.at, design.points, Text::fixed);
    widget->setEditable(false);
    if (design.fill == form::Fill::design) {
        add_entries(widget, design.list);
    }
    return widget;
}

SpinArrows* spin(QWidget* parent, const form::Control& design) {
    auto* widget = placed(new SpinArrows(parent), design.at, design.points, Text::fixed);
    widget->setRange(0, 255);
    widget->setSingleStep(1);
    widget->setPageStep(1);
    widget->setValue(1);
    return widget;
}

QString text_of(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString caption_text(std::string_view text) {
    return QCoreApplication::translate(kCaptionContext, std::string(text).c_str());
}

void add_entries(QComboBox* combo, form::List list) {
    for (const auto& entry : form::entries(list)) {
        combo->addItem(list_entry(list, entry), entry.value);
    }
}

void press_on_enter(QAbstractButton* button) {
    button->installEventFilter(new EnterPresses(button));
}

void caption_for(QLabel* label, QWidget* box) {
    label->setBuddy(box);
    box->setAccessibleName(in_group(label, label->text()));
}

}  // namespace tarvok::ui
