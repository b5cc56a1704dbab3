#include "sim/log_output.h"

#include "sim/sim_words.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace tarvok::sim {

namespace {

// About a thousand log lines; a reader that falls further behind loses lines.
constexpr std::size_t kMaxPending = 64 * 1024;

}  // namespace

LogOutput::LogOutput(int fd) : fd_(fd) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        return;  // a file takes every write at once
    }
    if (::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode)) {
        mode_ = Mode::socket;
        return;
    }
    // A pipe or terminal opened anew is a description of our own, so O_NONBLOCK
    // changes nothing for whoever shares the original.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    own_.reset(::open(self.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (own_.get() >= 0) {
        fd_ = own_.get();
    } else {
        mode_ = Mode::polled;
    }
}

long LogOutput::write_some(const char* data, std::size_t size) const {
    switch (mode_) {
    case Mode::nonblocking:
        break;
    case Mode::socket:
        return ::send(fd_, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    case Mode::polled: {
        // Room for PIPE_BUF bytes is all that poll promises.
        pollfd room{fd_, POLLOUT, 0};
        if (::poll(&room, 1, 0) != 1 || (room.revents & POLLOUT) == 0) {
            errno = EAGAIN;
            return -1;
        }
        size = std::min<std::size_t>(size, PIPE_BUF);
        break;
    }
    }
    return ::write(fd_, data, size);
}

// Once lines are dropped, every line is until the reader has caught up, so the
// count stands where the gap is.
void LogOutput::add(std::string text, std::size_t lines) {
    if (broken_ || dropped_ > 0 ||
        (!pending_.empty() && pending_.size() + text.size() > kMaxPending)) {
        dropped_ += lines;
        return;
    }
    pending_ += text;
    flush();
}

void LogOutput::flush() {
    while (!broken_) {
        if (pending_.empty() && dropped_ > 0) {
            pending_ = say(SimWord::lines_dropped, {std::to_string(dropped_)}) + "\n";
            dropped_ = 0;
        }
        if (pending_.empty()) {
            return;
        }
        const long n = write_some(pending_.data(), pending_.size());
        if (n > 0) {
            pending_.erase(0, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EAGAIN) {
            return;
        } else if (n == 0 || errno != EINTR) {
            broken_ = true;  // the reader is gone for good: nothing more to say
            pending_.clear();
        }
    }
}

int LogOutput::waiting_fd() const { return pending_.empty() ? -1 : fd_; }

void LogOutput::drain(std::chrono::milliseconds patience) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + patience;
    flush();
    while (!pending_.empty() && Clock::now() < until) {
        pollfd room{fd_, POLLOUT, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        ::poll(&room, 1, static_cast<int>(left.count()));
        flush();
    }
}

}  // namespace tarvok::sim
