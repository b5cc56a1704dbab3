#include <QApplication>

#include "ui/main_form.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvok"));
    tarvok::ui::main_form form;
    QApplication::setWindowIcon(form.windowIcon());
    form.show();
    return QApplication::exec();
}
