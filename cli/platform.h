// What tarvokctl needs of the system it runs on: a serial port by its number, one loop
// that runs until the work is done and hands on stop signals, the table of port
// numbers, the clock and files. Linux has it over Qt's event loop and serial::Port
// (cli/main.cpp), Windows over a COM handle and a wait loop (win/tarvokctl_main.cpp);
// everything else of tarvokctl is the same plain C++ on both.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "bus/line.h"

namespace tarvok::cli {

class Platform {
public:
    virtual ~Platform() = default;

    struct Opened {
        std::unique_ptr<bus::Line> line;
        std::string device;  // what the number named when it opened, for messages
    };
    // Port `number` open at `line`, or the sentence that says why it did not open.
    virtual std::variant<Opened, std::string> open(int number,
                                                   const protocol::LineSetting& line) = 0;
    // Turns the loop until `done` holds; each stop the operator asks for (a signal, a
    // console's Ctrl-C) goes to `stop` with its signal number as it comes, those since
    // the port opened first.
    virtual void run(const std::function<bool()>& done,
                     const std::function<void(int signo)>& stop) = 0;
    // "1 = /dev/ttyUSB0 (FT232R USB UART)", a line a port; empty when there is none.
    virtual std::string port_table() = 0;
    // The local date and time, as plan/job_record.h writes it.
    virtual std::string now() = 0;
};

}  // namespace tarvok::cli
