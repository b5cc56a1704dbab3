#include "ui/design.h"

#include <QWidget>

#include "ui/fonts.h"

namespace tarvok::ui {

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twips_rect(left, top, width, height));
}

QFont song(double points, bool bold) {
    register_song_face();
    QFont font(QString::fromUtf8(kSongFamily));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace tarvok::ui
