#include "app/startup.h"

int main(int argc, char* argv[]) { return tarvok::app::run_window(argc, argv); }
