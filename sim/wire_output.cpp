#include "sim/wire_output.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tarvok::sim {

void WireOutput::queue(const std::vector<Piece>& pieces, Clock::time_point now) {
    auto at = waiting_.empty() ? now : std::max(now, waiting_.back().at);
    for (const auto& piece : pieces) {
        at += piece.pause;
        waiting_.push_back({at, piece.bytes});
    }
}

WireOutput::Result WireOutput::write_now(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return Result::failed;
        }
        pollfd room{fd_, POLLOUT, 0};
        if (::poll(&room, 1, static_cast<int>(kWriteStall.count())) == 0) {
            waiting_.clear();
            return Result::stalled;
        }
    }
    return Result::ok;
}

WireOutput::Result WireOutput::write_due(Clock::time_point now) {
    while (!waiting_.empty() && waiting_.front().at <= now) {
        const auto bytes = std::move(waiting_.front().bytes);
        waiting_.pop_front();
        if (const auto result = write_now(bytes); result != Result::ok) {
            return result;
        }
    }
    return Result::ok;
}

std::optional<WireOutput::Clock::time_point> WireOutput::next_due() const {
    if (waiting_.empty()) {
        return std::nullopt;
    }
    return waiting_.front().at;
}

}  // namespace tarvok::sim
