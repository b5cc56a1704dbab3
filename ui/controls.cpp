#include "ui/controls.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "protocol/request.h"
#include "ui/design.h"
#include "ui/spin_arrows.h"

namespace tarvok::ui {

namespace {

template <typename Widget>
Widget* placed(Widget* widget, Twips at, double points, bool bold = false) {
    place(widget, at.left, at.top, at.width, at.height);
    if (points > 0) {
        widget->setFont(song(points, bold));
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

// The text, prefixed by the title of the group the widget sits in.
QString in_group(const QWidget* widget, const QString& text) {
    const auto* group = qobject_cast<const QGroupBox*>(widget->parentWidget());
    return group ? group->title() + QLatin1Char(' ') + text : text;
}

}  // namespace

QLabel* label(QWidget* parent, const char* text, Twips at, double points) {
    return placed(new QLabel(QString::fromUtf8(text), parent), at, points);
}

QLineEdit* text_box(QWidget* parent, Twips at, double points) {
    return placed(new QLineEdit(QStringLiteral("1"), parent), at, points);
}

QPushButton* button(QWidget* parent, const char* caption, Twips at, double points) {
    auto* widget = placed(new QPushButton(QString::fromUtf8(caption), parent), at, points);
    widget->setAutoDefault(false);
    widget->setAccessibleName(in_group(widget, widget->text()));
    press_on_enter(widget);
    return widget;
}

QGroupBox* frame(QWidget* parent, const char* caption, Twips at, double points) {
    auto* box = placed(new QGroupBox(QString::fromUtf8(caption), parent), at, points, true);
    // The caption sits on the top edge of the border, as on a classic frame, so the
    // children placed from the frame's corner fall inside the border.
    box->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 0.55em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    return box;
}

QComboBox* combo(QWidget* parent, Twips at, void (*entries)(QComboBox*)) {
    auto* widget = placed(new QComboBox(parent), at, 12);
    widget->setEditable(false);
    if (entries != nullptr) {
        entries(widget);
    }
    return widget;
}

SpinArrows* spin(QWidget* parent, Twips at) {
    auto* widget = placed(new SpinArrows(parent), at, 0);
    widget->setRange(0, 255);
    widget->setSingleStep(1);
    widget->setPageStep(1);
    widget->setValue(1);
    return widget;
}

QString text_of(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void add_baud_entries(QComboBox* combo) {
    for (const auto& entry : protocol::kBaudCodes) {
        combo->addItem(QString::number(entry.baud), entry.baud);
    }
}

void add_parity_entries(QComboBox* combo) { add_entries(combo, protocol::kParities); }

void add_channel_entries(QComboBox* combo) {
    for (int channel = 1; channel <= protocol::kChannelCount; ++channel) {
        const auto number = static_cast<std::uint8_t>(channel);
        combo->addItem(QString::fromStdString(protocol::channel_entry(number)), number);
    }
    combo->addItem(QString::fromStdString(protocol::channel_entry(protocol::kAllChannels)),
                   protocol::kAllChannels);
}

void press_on_enter(QAbstractButton* button) {
    button->installEventFilter(new EnterPresses(button));
}

void caption_for(QLabel* label, QWidget* box) {
    label->setBuddy(box);
    box->setAccessibleName(in_group(label, label->text()));
}

}  // namespace tarvok::ui
