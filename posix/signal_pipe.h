// Signals as bytes on a pipe (the self-pipe): a handler may do next to nothing, so it
// writes the signal's number and a loop (poll, or Qt's event loop through a
// QSocketNotifier) takes it from there like any other input. The one implementation
// for the simulator, tarvokctl and the window. POSIX, no Qt.
#pragma once

#include <csignal>
#include <span>
#include <vector>

namespace tarvok::posix {

// Handles the signals `handled` for as long as it exists, then gives them back the handling they
// had. One at a time in a process.
class SignalPipe {
public:
    explicit SignalPipe(std::span<const int> handled);
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // False when no pipe could be made; the signals then act as they did before.
    [[nodiscard]] bool ok() const { return read_end_ >= 0; }
    // Readable when a signal came; non-blocking.
    [[nodiscard]] int fd() const { return read_end_; }
    // The signals arrived since the last call, in order.
    [[nodiscard]] std::vector<int> take() const;

private:
    int read_end_ = -1;
    int write_end_ = -1;
    std::vector<int> signals_;
    std::vector<struct sigaction> before_;
};

}  // namespace tarvok::posix
