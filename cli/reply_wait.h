// Waiting for a module's reply: how long, and which received bytes make it.
// Plain C++; the runner feeds it whatever the line delivered since the frame went out.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "protocol/frame.h"
#include "protocol/tables.h"

namespace tarvok::cli {

struct FoundReply {
    protocol::Frame reply{};
    bool echoed = true;  // bytes 1 and 2 repeat the address and code that were sent
};

// The first reply in `pending` that passes the check (start byte, checksum; either
// status) and, when `strict`, echoes `sent`. Bytes before it, and a reply that does
// not count, are dropped one at a time, so a reply behind junk or a false start is
// still found; a partial reply is left in place for the bytes still to come.
std::optional<FoundReply> take_reply(std::vector<std::uint8_t>& pending,
                                     const protocol::Frame& sent, bool strict);

}  // namespace tarvok::cli
