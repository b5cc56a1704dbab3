// The window program as app/main.cpp runs it, with 打开串口 pressed before the window
// shows: port 1 is open from the start, for tests that end the program from outside.
#include <QPushButton>

#include "app/startup.h"
#include "ui/main_form.h"

int main(int argc, char* argv[]) {
    return tarvok::app::run_window(argc, argv, [](QWidget& window) {
        if (auto* form = qobject_cast<tarvok::ui::main_form*>(&window)) {
            form->open_comm->click();
        }
    });
}
