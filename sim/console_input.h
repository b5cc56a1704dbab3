// Commands typed on standard input, taken so that no input can cost the wire: lines
// are bounded, a line too long for any command is skipped up to its newline, input
// that floods in rests the reader for a moment, and end of input ends listening.
#pragma once

#include <array>
#include <chrono>
#include <string>
#include <vector>

namespace tarvok::sim {

class ConsoleInput {
public:
    using Clock = std::chrono::steady_clock;

    explicit ConsoleInput(int fd) : fd_(fd) {}

    // The descriptor to poll now; -1 after end of input, or while resting.
    [[nodiscard]] int poll_fd(Clock::time_point now) const;
    // Milliseconds until it listens again, for a poll timeout; -1 when not resting.
    [[nodiscard]] int rest_ms(Clock::time_point now) const;

    // Reads what is there; the complete lines among it, without their newline.
    std::vector<std::string> read(Clock::time_point now);

private:
    void take(const char* data, std::size_t size, std::vector<std::string>& lines);

    int fd_;
    bool open_ = true;
    bool skipping_ = false;  // inside a line already too long
    Clock::time_point rest_until_{};
    std::string line_;
    std::array<char, 1024> buffer_{};
};

}  // namespace tarvok::sim
