// Tarvok's own start-up, line for line as app/main.cpp, with a first-paint marker.
#include <QApplication>

#include "bench/start_child.h"
#include "ui/main_form.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvok"));
    tarvok::ui::main_form form;
    QApplication::setWindowIcon(form.windowIcon());
    tarvok::bench::FirstPaint marker;
    form.installEventFilter(&marker);
    form.show();
    return QApplication::exec();
}
