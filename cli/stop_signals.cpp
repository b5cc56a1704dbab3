#include "cli/stop_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace tarvok::cli {

namespace {

constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};

// The write end of the self-pipe: a signal handler may only write(), so the signal
// number travels to the event loop through it. Set once, before any handler runs.
int g_signal_pipe = -1;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

// errno is kept: the handler may run between a failed call and the code that reads it.
extern "C" void on_stop_signal(int signo) {
    const int saved_errno = errno;
    const auto byte = static_cast<unsigned char>(signo);
    (void)::write(g_signal_pipe, &byte, 1);
    errno = saved_errno;
}

}  // namespace

Exit exit_for_signal(int signo) {
    switch (signo) {
    case SIGHUP:
        return Exit::hangup;
    case SIGTERM:
        return Exit::terminated;
    default:
        return Exit::interrupted;
    }
}

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    std::array<int, 2> fds{-1, -1};
    if (::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // the signals then end the program as they always would
    }
    g_signal_pipe = fds[1];
    notifier_ = new QSocketNotifier(fds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::take);
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signo : kStopSignals) {
        ::sigaction(signo, &action, nullptr);
    }
}

StopSignals::~StopSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    for (const int signo : kStopSignals) {
        ::signal(signo, SIG_DFL);
    }
    ::close(static_cast<int>(notifier_->socket()));
    ::close(g_signal_pipe);
    g_signal_pipe = -1;
}

void StopSignals::take() {
    unsigned char byte = 0;
    while (::read(static_cast<int>(notifier_->socket()), &byte, 1) == 1) {
        emit caught(byte);
    }
}

}  // namespace tarvok::cli
