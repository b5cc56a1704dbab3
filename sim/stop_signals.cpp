#include "sim/stop_signals.h"

#include <algorithm>
#include <array>
#include <csignal>

namespace tarvok::sim {

namespace {

constexpr std::array<int, 13> kStopSignals = {SIGINT,  SIGTERM,   SIGHUP,   SIGQUIT, SIGUSR2,
                                              SIGALRM, SIGVTALRM, SIGPROF,  SIGXCPU, SIGXFSZ,
                                              SIGIO,   SIGPWR,    SIGSTKFLT};

}  // namespace

std::vector<int> handled_signals() {
    std::vector<int> signals(kStopSignals.begin(), kStopSignals.end());
    for (int signo = SIGRTMIN; signo <= SIGRTMAX; ++signo) {
        signals.push_back(signo);
    }
    signals.push_back(SIGUSR1);
    return signals;
}

bool is_stop_signal(int signo) {
    return signo != SIGUSR1 && std::ranges::count(handled_signals(), signo) > 0;
}

}  // namespace tarvok::sim
