// tarvok-sim: a relay module on a pseudo-terminal, registered as a tarvok port, for
// trying the tool and its error handling without hardware.
#include <fcntl.h>
#include <unistd.h>
#include <iostream>
#include <string_view>
#include <variant>
#include <vector>

#include "sim/cli_options.h"
#include "sim/pty_transport.h"

namespace {

// Started with a standard stream closed, the pty would inherit its number and be
// taken for stdin or stdout; /dev/null keeps those numbers occupied.
void occupy_standard_fds() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1) {
            ::open("/dev/null", O_RDWR);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    occupy_standard_fds();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto parsed = tarvok::sim::parse_options(args);
    if (const auto* error = std::get_if<tarvok::sim::OptionError>(&parsed)) {
        std::cerr << "tarvok-sim：" << error->message << "\n用 --help 查看用法。" << std::endl;
        return 2;
    }
    if (std::holds_alternative<tarvok::sim::HelpRequested>(parsed)) {
        std::cout << tarvok::sim::help_text() << std::flush;
        return 0;
    }
    return tarvok::sim::run_simulator(std::get<tarvok::sim::Options>(parsed));
}
