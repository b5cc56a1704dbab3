#include "sim/console_input.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tarvok::sim {

namespace {

// Far longer than any command; memory stays bounded by this and the read buffer.
constexpr std::size_t kMaxLine = 256;
// Input that fills the whole read buffer comes from a program, not a person; a
// pause this long bounds the time spent on it (to ten reads a second) however
// much it sends.
constexpr std::chrono::milliseconds kRest{100};

}  // namespace

int ConsoleInput::poll_fd(Clock::time_point now) const {
    return open_ && now >= rest_until_ ? fd_ : -1;
}

int ConsoleInput::rest_ms(Clock::time_point now) const {
    if (!open_ || now >= rest_until_) {
        return -1;
    }
    return static_cast<int>(
        std::chrono::ceil<std::chrono::milliseconds>(rest_until_ - now).count());
}

std::vector<std::string> ConsoleInput::read(Clock::time_point now) {
    std::vector<std::string> lines;
    const auto n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        return lines;
    }
    if (n <= 0) {
        open_ = false;  // end of input, or none to be had: the simulator runs on without
        return lines;
    }
    const auto size = static_cast<std::size_t>(n);
    take(buffer_.data(), size, lines);
    if (size == buffer_.size()) {
        rest_until_ = now + kRest;
    }
    return lines;
}

void ConsoleInput::take(const char* data, std::size_t size, std::vector<std::string>& lines) {
    const char* const end = data + size;
    while (data < end) {
        const char* newline = std::find(data, end, '\n');
        if (!skipping_) {
            line_.append(data, std::min(static_cast<std::size_t>(newline - data),
                                        kMaxLine + 1 - line_.size()));
        }
        if (line_.size() > kMaxLine) {
            skipping_ = true;
            line_.clear();
        }
        if (newline == end) {
            return;
        }
        if (!skipping_) {
            lines.push_back(line_);
        }
        line_.clear();
        skipping_ = false;
        data = newline + 1;
    }
}

}  // namespace tarvok::sim
