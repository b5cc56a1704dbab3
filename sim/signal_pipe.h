// Signals as bytes on a pipe, so the simulator's poll loop takes them like any other
// input, and cleans up after every signal that would otherwise end it unannounced.
#pragma once

#include <vector>

#include "sim/unique_fd.h"

namespace tarvok::sim {

// Every signal that ends a process by default and can be caught, apart from
// SIGPIPE: a reader of our output that goes away must cost us the log, not the
// wire (SIGPIPE is ignored instead).
bool is_stop_signal(int signo);

// Handles the stop signals and SIGUSR1 for as long as it exists. One at a time.
class SignalPipe {
public:
    SignalPipe();
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    [[nodiscard]] bool ok() const { return read_end_.get() >= 0; }
    [[nodiscard]] int fd() const { return read_end_.get(); }
    // The signals arrived since the last call, in order.
    [[nodiscard]] std::vector<int> take() const;

private:
    UniqueFd read_end_;
    UniqueFd write_end_;
};

}  // namespace tarvok::sim
