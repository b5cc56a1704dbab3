// Tarvok's own start-up, the very function app/main.cpp runs, with a first-paint marker.
#include <QWidget>

#include "app/startup.h"
#include "bench/start_child.h"

int main(int argc, char* argv[]) {
    tarvok::bench::FirstPaint marker;
    return tarvok::app::run_window(argc, argv,
                                   [&marker](QWidget& form) { form.installEventFilter(&marker); });
}
