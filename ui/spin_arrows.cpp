#include "ui/spin_arrows.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace tarvok::ui {

namespace {

// Held arrows repeat as a scroll bar's would.
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 60;

}  // namespace

SpinArrows::SpinArrows(QWidget* parent) : QAbstractSlider(parent) {
    setOrientation(Qt::Vertical);
    setFocusPolicy(Qt::StrongFocus);
}

QSize SpinArrows::sizeHint() const { return {25, 25}; }

QRect SpinArrows::upper_arrow() const { return {0, 0, width(), height() / 2}; }

QRect SpinArrows::lower_arrow() const {
    const int top = height() / 2;
    return {0, top, width(), height() - top};
}

int SpinArrows::arrow_at(const QPoint& point) const {
    if (upper_arrow().contains(point)) {
        return 1;
    }
    return lower_arrow().contains(point) ? -1 : 0;
}

void SpinArrows::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const auto draw = [&](const QRect& rect, QStyle::PrimitiveElement arrow, bool down) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = rect;
        button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption glyph;
        glyph.initFrom(this);
        glyph.rect = rect.adjusted(3, 2, -3, -2);
        style()->drawPrimitive(arrow, &glyph, &painter, this);
    };
    draw(upper_arrow(), QStyle::PE_IndicatorArrowUp, pressed_ > 0);
    draw(lower_arrow(), QStyle::PE_IndicatorArrowDown, pressed_ < 0);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void SpinArrows::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    pressed_ = arrow_at(event->position().toPoint());
    if (pressed_ == 0) {
        return;
    }
    const SliderAction action = pressed_ > 0 ? SliderSingleStepAdd : SliderSingleStepSub;
    triggerAction(action);
    setRepeatAction(action, kRepeatDelayMs, kRepeatIntervalMs);
    update();
}

void SpinArrows::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = 0;
        setRepeatAction(SliderNoAction);
        update();
    }
}

}  // namespace tarvok::ui
