// tarvok-sim: relay modules on a pseudo-terminal, registered as a tarvok port, for
// trying the tool and its error handling without hardware.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "cmdline/error.h"
#include "posix/signal_pipe.h"
#include "protocol/wire.h"
#include "sim/cli_options.h"
#include "sim/port_link.h"
#include "sim/sim_words.h"
#include "sim/simulator.h"
#include "sim/stop_signals.h"

namespace {

using namespace tarvok::sim;

// How long the last lines may wait for a slow reader at exit.
constexpr std::chrono::milliseconds kExitPatience{500};

// Started with a standard stream closed, the pty would inherit its number and be
// taken for stdin or stdout; /dev/null keeps those numbers occupied.
void occupy_standard_fds() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1) {
            ::open("/dev/null", O_RDWR);
        }
    }
}

std::variant<PortLink, std::string> claim(const Options& options, const std::string& target) {
    const auto dir = ports_directory(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (dir.empty()) {
        return std::string(word(SimWord::no_home));
    }
    return options.port == kFirstFreePort ? PortLink::claim_first_free(dir, target)
                                          : PortLink::claim(dir, options.port, target);
}

void announce(const Options& options, const PortLink& link, const std::string& slave_path,
              LogOutput& log) {
    // For programs (scripts/run.sh, the tests): the same words in every language.
    log.line("tarvok-sim port " + std::to_string(link.port()) + " " + slave_path);
    if (!link.replaced_target().empty()) {
        log.line(say(SimWord::replaced_link, {link.path().string(), link.replaced_target()}));
    }
    log.line(say(SimWord::ready,
                 {std::to_string(link.port()), slave_path, groups_text(options.groups)}));
    auto labels = fault_labels(options.faults);
    if (options.fail) {
        labels.insert(labels.begin(), std::string(word(SimWord::always_fail)));
    }
    if (options.echo) {
        labels.insert(labels.begin(), std::string(word(SimWord::echo)));
    }
    if (options.faults.drop_percent > 0) {
        labels.push_back(drop_label(options.faults));
    }
    std::string faults;
    for (const auto& label : labels) {
        faults +=
            std::string(word(faults.empty() ? SimWord::faults : SimWord::fault_separator)) + label;
    }
    if (!faults.empty()) {
        log.line(faults);
    }
    if (options.faults.pace) {
        log.line(say(SimWord::paced,
                     {std::to_string(tarvok::protocol::kModuleTurnaround.count() / 1000)}));
    }
}

// Without --seed a run still gets one, told at the start so that it can be repeated.
Options with_seed(Options options) {
    if (!options.seed_given) {
        options.faults.seed = static_cast<std::uint32_t>(
            std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid());
    }
    return options;
}

int run(const Options& options) {
    // Handlers go in before the link exists, so an early Ctrl-C still cleans up.
    const auto handled = handled_signals();
    const tarvok::posix::SignalPipe signals(handled);
    if (!signals.ok()) {
        std::cerr << say(SimWord::no_signal_pipe, {std::strerror(errno)}) << std::endl;
        return 1;
    }
    // A terminal program that never sets a line is heard by the first group.
    auto opened = open_pty(options.groups.front().line);
    if (auto* error = std::get_if<std::string>(&opened)) {
        std::cerr << *error << std::endl;
        return 1;
    }
    const auto& pty = std::get<Pty>(opened);
    auto claimed = claim(options, pty.slave_path);
    if (auto* error = std::get_if<std::string>(&claimed)) {
        std::cerr << *error << std::endl;
        return 1;
    }
    LogOutput log(STDOUT_FILENO);
    std::string link_path;
    int code = 0;
    {
        const auto link = std::move(std::get<PortLink>(claimed));
        link_path = link.path().string();
        announce(options, link, pty.slave_path, log);
        code = serve(options, pty, signals, log);
    }
    log.line(say(SimWord::stopped, {link_path}));
    log.drain(kExitPatience);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    occupy_standard_fds();
    // A reader of the log that goes away costs the log, never the wire.
    ::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = parse_options(args);
    if (const auto* error = std::get_if<tarvok::cmdline::Error>(&parsed)) {
        std::cerr << tarvok::cmdline::usage_line("tarvok-sim", tarvok::cmdline::error_text(*error))
                  << std::endl;
        return 2;
    }
    if (std::holds_alternative<HelpRequested>(parsed)) {
        std::cout << help_text() << std::flush;
        return 0;
    }
    if (std::holds_alternative<VersionRequested>(parsed)) {
        std::cout << version_text() << std::flush;
        return 0;
    }
    return run(with_seed(std::get<Options>(parsed)));
}
