// A vertical bar that is only its two arrows: the upper one counts up, the lower
// one down. Drawn by hand because a style's scroll bar at 25 pixels high has no
// room for two full-size arrow buttons.
#pragma once

#include <QAbstractSlider>

namespace tarvok::ui {

class SpinArrows : public QAbstractSlider {
    Q_OBJECT

public:
    explicit SpinArrows(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // The arrow under a point: +1 for the upper, -1 for the lower.
    int arrow_at(const QPoint& point) const;
    QRect upper_arrow() const;
    QRect lower_arrow() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int pressed_ = 0;
};

}  // namespace tarvok::ui
