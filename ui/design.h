// Window geometry is designed in twips (1/1440 inch). At 96 dots per inch that is
// 15 twips to the pixel; Qt's device-independent pixels scale it to other screens.
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace tarvok::ui {

// Rounded to the nearest pixel; twips are never negative here.
constexpr int px(int twips) { return (2 * twips + 15) / 30; }

constexpr QRect twips_rect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

// Places `widget` relative to its parent's top-left corner.
void place(QWidget* widget, int left, int top, int width, int height);

// Sizes a top-level window's client area and places it at `designed` when all of it
// fits on the available area of the screen there; otherwise moves it the least
// distance that brings it fully on-screen, so no button ends up out of reach.
void place_window(QWidget* window, QRect designed);

// The window's face: "宋体" at the given point size, bold where a frame caption is.
QFont song(double points, bool bold = false);

}  // namespace tarvok::ui
