// A group frame drawn the classic way: a one-pixel border in the palette's mid tone,
// the bold title sitting on its top edge a little in from the left, the border
// broken behind it. Painted directly rather than through a style sheet, which would
// put every control inside under the style-sheet machinery, slowing each repaint and
// the window's start.
#pragma once

#include <QGroupBox>

namespace tarvok::ui {

class FrameBox : public QGroupBox {
public:
    FrameBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarvok::ui
