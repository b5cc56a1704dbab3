#include "ui/design.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "ui/fonts.h"

namespace tarvok::ui {

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twips_rect(left, top, width, height));
}

void place_window(QWidget* window, QRect designed) {
    const QScreen* screen = QGuiApplication::screenAt(designed.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    QRect placed = designed;
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        placed.moveLeft(
            std::max(area.left(), std::min(designed.left(), area.right() + 1 - designed.width())));
        placed.moveTop(
            std::max(area.top(), std::min(designed.top(), area.bottom() + 1 - designed.height())));
    }
    window->setGeometry(placed);  // places the client area, not the frame around it
}

QFont song(double points, bool bold) {
    QFont font(song_family());
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace tarvok::ui
