#include "cli/reply_wait.h"

#include "protocol/reply.h"

namespace tarvok::cli {

std::optional<FoundReply> take_reply(std::vector<std::uint8_t>& pending,
                                     const protocol::Frame& sent, bool strict) {
    std::size_t skip = 0;
    std::optional<FoundReply> found;
    for (; pending.size() - skip >= protocol::kFrameSize; ++skip) {
        const auto frame = protocol::frame_from(std::span(pending).subspan(skip));
        const bool echoed = protocol::echoes(frame, sent);
        if (protocol::accepted(protocol::judge(frame)) && (echoed || !strict)) {
            found = FoundReply{frame, echoed};
            break;
        }
    }
    // A tail shorter than a frame may still be the start of the reply; only bytes
    // that cannot begin one are dropped from it.
    while (!found && skip < pending.size() && pending[skip] != protocol::kReplyStart) {
        ++skip;
    }
    const std::size_t used = found ? skip + protocol::kFrameSize : skip;
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
    return found;
}

}  // namespace tarvok::cli
