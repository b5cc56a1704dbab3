#include "ui/frame_box.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStyleOptionGroupBox>

namespace tarvok::ui {

namespace {

// The border's top edge lies this many lines of the application's font below the
// frame's top, across the middle of the title.
constexpr double kBorderDrop = 0.55;
// The border is broken from this far in from the frame's left edge, for the title and
// this much space on either side of it.
constexpr int kGapLeft = 6;
constexpr int kGapSpace = 4;

}  // namespace

void FrameBox::paintEvent(QPaintEvent* /*event*/) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    const int drop = qRound(kBorderDrop * QFontMetrics(QGuiApplication::font()).height());
    const QRect border = rect().adjusted(0, drop, 0, 0);
    // One pixel more than the rounded advance, which the title's fractional width may reach.
    const QRect text(kGapLeft + kGapSpace, 0, metrics.horizontalAdvance(title()) + 1,
                     metrics.height());
    const QRect gap = text.adjusted(-kGapSpace, 0, kGapSpace, 0);

    QPainter painter(this);
    painter.setClipRegion(QRegion(rect()) - gap);
    // Each edge a smoothed rectangle, bottom, right, left, top: at a fractional screen
    // scale a one-pixel line covers part of a second device pixel, as the frames
    // always drew it.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(option.palette.color(QPalette::Mid));
    const QRectF edge(border);
    painter.drawRect(QRectF(edge.x(), edge.bottom() - 1, edge.width(), 1));
    painter.drawRect(QRectF(edge.right() - 1, edge.y(), 1, edge.height()));
    painter.drawRect(QRectF(edge.x(), edge.y(), 1, edge.height()));
    painter.drawRect(QRectF(edge.x(), edge.y(), edge.width(), 1));
    painter.setClipping(false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    style()->drawItemText(&painter, text, Qt::AlignCenter | Qt::TextShowMnemonic, option.palette,
                          isEnabled(), title(), QPalette::WindowText);
}

}  // namespace tarvok::ui
