// Tarvok's own start-up, line for line as app/main.cpp, with a first-paint marker.
#include <QApplication>

#include "app/startup.h"
#include "bench/start_child.h"
#include "ui/main_form.h"

int main(int argc, char* argv[]) {
    if (const auto code = tarvok::app::answer_before_gui(argc, argv)) {
        return *code;
    }
    const auto app = tarvok::app::make_application(argc, argv);
    if (const auto code = tarvok::app::refuse_unknown_options(QApplication::arguments())) {
        return *code;
    }
    tarvok::app::prepare(*app);
    tarvok::ui::main_form form;
    form.setWindowIcon(QApplication::windowIcon());
    tarvok::bench::FirstPaint marker;
    form.installEventFilter(&marker);
    form.show();
    return QApplication::exec();
}
