// The yardstick for start-up: the least a Qt Widgets program does to show a window
// with a line of text.
#include <QApplication>
#include <QLabel>

#include "bench/start_child.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Tarvok"));
    window.resize(400, 300);
    tarvok::bench::FirstPaint marker;
    window.installEventFilter(&marker);
    window.show();
    return QApplication::exec();
}
