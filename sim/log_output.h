// The simulator's log on standard output, written so that it never holds up the
// wire: what the reader has not taken yet waits up to a bound, anything beyond that
// is dropped and counted, and the count is told in a line of its own
// ("已丢弃 N 行日志") as soon as there is room again.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "sim/unique_fd.h"

namespace tarvok::sim {

class LogOutput {
public:
    // Writes to what `fd` is open on, through a descriptor of its own so that the
    // shared one keeps its blocking mode for the shell and programs after us.
    explicit LogOutput(int fd);

    void line(std::string_view text) { add(std::string(text) + '\n', 1); }
    // Several lines that only make sense together: all of them or none.
    void block(std::string_view text, std::size_t lines) { add(std::string(text), lines); }

    // Writes what the reader takes without waiting.
    void flush();
    // When bytes wait, the descriptor to poll for room; -1 when none wait.
    [[nodiscard]] int waiting_fd() const;
    // At exit: waits up to `patience` for the reader to take the rest.
    void drain(std::chrono::milliseconds patience);

private:
    enum class Mode { nonblocking, socket, polled };

    void add(std::string text, std::size_t lines);
    long write_some(const char* data, std::size_t size) const;

    UniqueFd own_;
    int fd_;
    Mode mode_ = Mode::nonblocking;
    bool broken_ = false;
    std::string pending_;
    std::size_t dropped_ = 0;
};

}  // namespace tarvok::sim
