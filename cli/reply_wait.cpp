#include "cli/reply_wait.h"

#include <array>

#include "protocol/reply.h"

namespace tarvok::cli {

std::optional<FoundReply> take_reply(std::vector<std::uint8_t>& pending,
                                     const protocol::Frame& sent, bool strict) {
    static constexpr std::array<std::uint8_t, 1> kStarts{protocol::kReplyStart};
    std::optional<FoundReply> found;
    std::size_t used = 0;
    while (!found) {
        const auto scan = protocol::scan_frame(std::span(pending).subspan(used), kStarts);
        used += scan.skip;
        if (!scan.frame) {
            break;
        }
        const bool echoed = protocol::echoes(*scan.frame, sent);
        // A reply that does not count is passed over one byte at a time, so one
        // hiding behind its false start is still found.
        if (protocol::accepted(protocol::judge(*scan.frame)) && (echoed || !strict)) {
            found = FoundReply{*scan.frame, echoed};
            used += protocol::kFrameSize;
        } else {
            ++used;
        }
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
    return found;
}

}  // namespace tarvok::cli
