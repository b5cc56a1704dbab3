#include "sim/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace tarvok::sim {

namespace {

// Write end of the self-pipe. A signal handler may touch nothing but a
// sig_atomic_t and async-signal-safe calls, so the fd the handler writes to has to
// live here; it is set while a SignalPipe exists and -1 otherwise.
volatile std::sig_atomic_t g_signal_fd = -1;

void on_signal(int signo) {
    const int saved_errno = errno;
    const auto byte = static_cast<unsigned char>(signo);
    if (g_signal_fd >= 0) {
        (void)!::write(g_signal_fd, &byte, 1);
    }
    errno = saved_errno;
}

constexpr std::array<int, 13> kStopSignals = {SIGINT,  SIGTERM,   SIGHUP,   SIGQUIT, SIGUSR2,
                                              SIGALRM, SIGVTALRM, SIGPROF,  SIGXCPU, SIGXFSZ,
                                              SIGIO,   SIGPWR,    SIGSTKFLT};

template <typename Each>
void for_each_handled(Each each) {
    for (int signo : kStopSignals) {
        each(signo);
    }
    for (int signo = SIGRTMIN; signo <= SIGRTMAX; ++signo) {
        each(signo);
    }
    each(SIGUSR1);
}

void install(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for_each_handled([&action](int signo) { ::sigaction(signo, &action, nullptr); });
}

}  // namespace

bool is_stop_signal(int signo) {
    bool stop = false;
    for_each_handled([&stop, signo](int handled) { stop = stop || handled == signo; });
    return stop && signo != SIGUSR1;
}

SignalPipe::SignalPipe() {
    std::array<int, 2> fds{-1, -1};
    if (::pipe2(fds.data(), O_NONBLOCK | O_CLOEXEC) != 0) {
        return;
    }
    read_end_.reset(fds[0]);
    write_end_.reset(fds[1]);
    g_signal_fd = fds[1];
    install(on_signal);
    ::signal(SIGPIPE, SIG_IGN);
}

SignalPipe::~SignalPipe() {
    install(SIG_DFL);
    g_signal_fd = -1;
}

std::vector<int> SignalPipe::take() const {
    std::vector<int> signals;
    std::array<unsigned char, 64> buf{};
    ssize_t n = 0;
    while ((n = ::read(read_end_.get(), buf.data(), buf.size())) > 0) {
        signals.insert(signals.end(), buf.begin(), buf.begin() + n);
    }
    return signals;
}

}  // namespace tarvok::sim
