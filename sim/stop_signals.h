// The signals the simulator takes through the self-pipe (posix/signal_pipe.h): every
// one that would otherwise end it unannounced, leaving its port link behind, and
// SIGUSR1, which asks for the state.
#pragma once

#include <vector>

namespace tarvok::sim {

std::vector<int> handled_signals();

// Every signal that ends a process by default and can be caught, apart from
// SIGPIPE: a reader of our output that goes away must cost us the log, not the
// wire (SIGPIPE is ignored instead).
bool is_stop_signal(int signo);

}  // namespace tarvok::sim
