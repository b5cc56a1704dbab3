// The window in English for a test, and what a test reads of it: every text a window
// shows or names, and where a caption's ink reaches in its box.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTranslator>

#include <utility>

#include "app/startup.h"
#include "words/language.h"

namespace tarvok::test {

// English, and the window's translation loaded as the program loads it, until the end
// of the scope; then the process's own language again.
class InEnglish {
public:
    InEnglish()
        : translator_((words::use_language(words::Language::english),
                       app::load_translations(*QCoreApplication::instance()))) {}
    ~InEnglish() {
        delete translator_;
        words::use_language(words::language_from_environment());
    }
    InEnglish(const InEnglish&) = delete;
    InEnglish& operator=(const InEnglish&) = delete;
    bool loaded() const { return translator_ != nullptr; }

private:
    QTranslator* translator_;
};

// Han characters, CJK punctuation and full-width forms.
inline bool has_cjk(const QString& text) {
    static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    return text.contains(cjk);
}

// The window's title, and of each widget in it its caption, tooltip, accessible name,
// placeholder, list entries, header labels and menu entries.
inline QStringList shown_texts(const QWidget* window) {
    QStringList texts{window->windowTitle()};
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.append(const_cast<QWidget*>(window));
    for (const QWidget* w : widgets) {
        texts << w->windowTitle() << w->toolTip() << w->accessibleName();
        if (const auto* label = qobject_cast<const QLabel*>(w)) texts << label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(w)) texts << button->text();
        if (const auto* group = qobject_cast<const QGroupBox*>(w)) texts << group->title();
        if (const auto* box = qobject_cast<const QLineEdit*>(w)) texts << box->placeholderText();
        if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
        }
        if (const auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->model()) {
            for (int i = 0; i < view->model()->columnCount(); ++i)
                texts << view->model()->headerData(i, Qt::Horizontal).toString();
        }
        if (const auto* menu = qobject_cast<const QMenu*>(w)) {
            for (const QAction* action : menu->actions()) texts << action->text();
        }
    }
    texts.removeAll(QString());
    return texts;
}

// How far up and down (from the box's top) a line of `text` reaches when drawn
// centred in a box `height` high, as Qt draws captions.
inline std::pair<qreal, qreal> reach(const QFont& font, const QString& text, qreal height) {
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.tightBoundingRect(text);
    const qreal baseline = (height - metrics.height()) / 2 + metrics.ascent();
    return {baseline + ink.top(), baseline + ink.bottom()};
}

// Empty when `shown` fits a box of `size` in `font` the way the design's `designed`
// caption does: no wider than the box, and reaching no further up or down than the box
// or the designed caption (some of the design's boxes are shorter than its own font);
// otherwise what is wrong.
inline QString misfit(const QFont& font, const QString& shown, const QString& designed,
                      QSizeF size) {
    const qreal width = QFontMetricsF(font).horizontalAdvance(shown);
    const auto [top, bottom] = reach(font, shown, size.height());
    const auto [design_top, design_bottom] = reach(font, designed, size.height());
    if (width <= size.width() && top >= std::min(0.0, design_top) &&
        bottom <= std::max(size.height(), design_bottom)) {
        return {};
    }
    return QStringLiteral("“%1” (for “%2”) spans %3 x %4..%5 in a box of %6 x %7")
        .arg(shown, designed)
        .arg(width)
        .arg(top)
        .arg(bottom)
        .arg(size.width())
        .arg(size.height());
}

}  // namespace tarvok::test
