#include "posix/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace tarvok::posix {

namespace {

// The write end of the pipe. A handler may touch nothing but a sig_atomic_t and
// async-signal-safe calls, so the number it writes to lives here: set while a
// SignalPipe exists, -1 otherwise.
volatile std::sig_atomic_t g_write_end =
    -1;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

// errno is kept: the handler may run between a failed call and the code that reads it.
extern "C" void on_signal(int signo) {
    const int saved_errno = errno;
    const auto byte = static_cast<unsigned char>(signo);
    if (g_write_end >= 0) {
        (void)!::write(g_write_end, &byte, 1);
    }
    errno = saved_errno;
}

}  // namespace

SignalPipe::SignalPipe(std::span<const int> handled) : signals_(handled.begin(), handled.end()) {
    std::array<int, 2> fds{-1, -1};
    if (::pipe2(fds.data(), O_NONBLOCK | O_CLOEXEC) != 0) {
        return;
    }
    read_end_ = fds[0];
    write_end_ = fds[1];
    g_write_end = write_end_;
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    // Blocking calls go on after the handler; poll and ppoll still return EINTR.
    action.sa_flags = SA_RESTART;
    before_.resize(signals_.size());
    for (std::size_t i = 0; i < signals_.size(); ++i) {
        ::sigaction(signals_[i], &action, &before_[i]);
    }
}

SignalPipe::~SignalPipe() {
    if (!ok()) {
        return;
    }
    for (std::size_t i = 0; i < signals_.size(); ++i) {
        ::sigaction(signals_[i], &before_[i], nullptr);
    }
    g_write_end = -1;
    ::close(write_end_);
    ::close(read_end_);
}

std::vector<int> SignalPipe::take() const {
    std::vector<int> signals;
    std::array<unsigned char, 64> buf{};
    ssize_t n = 0;
    while ((n = ::read(read_end_, buf.data(), buf.size())) > 0) {
        signals.insert(signals.end(), buf.begin(), buf.begin() + n);
    }
    return signals;
}

}  // namespace tarvok::posix
