// A push button that keeps each look it has drawn. A press and a release each repaint
// the button at once, and drawing its caption's glyphs is most of what a click costs;
// a look seen before is copied instead. It must sit on a parent that fills itself
// with one colour (the setting buttons' hosts), which is drawn under it, so the
// button paints every pixel of its area and nothing beneath it needs repainting.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QPushButton>
#include <QStyleOptionButton>

#include <utility>
#include <vector>

namespace tarvok::ui {

class CachedButton : public QPushButton {
public:
    CachedButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Everything the style draws a button from, so that a changed look is never taken
    // for one seen before.
    struct Look {
        QStyle::State state;
        QStyleOptionButton::ButtonFeatures features;
        QSize size;
        QString text;
        QFont font;
        qint64 palette;
        QPalette::ColorGroup group;
        QRgb ground;
        qreal ratio;
        Qt::LayoutDirection direction;
        const QStyle* style;
        qint64 icon;
        QSize icon_size;
        bool operator==(const Look&) const = default;
    };

    Look look_of(const QStyleOptionButton& option) const;
    QPixmap drawn(const QStyleOptionButton& option, const Look& look) const;

    std::vector<std::pair<Look, QPixmap>> looks_;
};

}  // namespace tarvok::ui
