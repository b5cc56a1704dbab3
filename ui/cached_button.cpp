#include "ui/cached_button.h"

#include <QPainter>
#include <QStylePainter>

#include <algorithm>

namespace tarvok::ui {

namespace {

// A button has a handful of looks (plain, focused, pressed, disabled...); more than
// this means something keeps changing, and the oldest are dropped.
constexpr std::size_t kMostLooks = 16;

QColor ground_of(const QWidget& button) {
    const QWidget* parent = button.parentWidget();
    return parent != nullptr ? parent->palette().color(parent->backgroundRole())
                             : button.palette().color(QPalette::Window);
}

}  // namespace

CachedButton::CachedButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CachedButton::Look CachedButton::look_of(const QStyleOptionButton& option) const {
    return {option.state,
            option.features,
            option.rect.size(),
            option.text,
            font(),
            option.palette.cacheKey(),
            option.palette.currentColorGroup(),
            ground_of(*this).rgba(),
            devicePixelRatioF(),
            option.direction,
            style(),
            option.icon.cacheKey(),
            option.iconSize};
}

// The look as the style draws it on the host's colour, on an image of the widget's
// own resolution and with what a painter on the widget starts with, so that it comes
// out as drawn on the widget.
QPixmap CachedButton::drawn(const QStyleOptionButton& option, const Look& look) const {
    constexpr double kInchesPerMetre = 1 / 0.0254;
    QImage image(size() * look.ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(look.ratio);
    image.setDotsPerMeterX(qRound(logicalDpiX() * kInchesPerMetre));
    image.setDotsPerMeterY(qRound(logicalDpiY() * kInchesPerMetre));
    image.fill(look.ground);
    QStylePainter painter(&image, const_cast<CachedButton*>(this));
    painter.setPen(QPen(palette().brush(foregroundRole()), 1));
    painter.setBackground(palette().brush(backgroundRole()));
    painter.setFont(font());
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.end();
    return QPixmap::fromImage(std::move(image));
}

void CachedButton::paintEvent(QPaintEvent* /*event*/) {
    QStyleOptionButton option;
    initStyleOption(&option);
    Look look = look_of(option);
    auto seen = std::find_if(looks_.begin(), looks_.end(),
                             [&look](const auto& entry) { return entry.first == look; });
    if (seen == looks_.end()) {
        if (looks_.size() == kMostLooks) {
            looks_.erase(looks_.begin());
        }
        QPixmap pixmap = drawn(option, look);
        looks_.emplace_back(std::move(look), std::move(pixmap));
        seen = std::prev(looks_.end());
    }
    QPainter(this).drawPixmap(0, 0, seen->second);
}

}  // namespace tarvok::ui
