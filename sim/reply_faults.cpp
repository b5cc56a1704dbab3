#include "sim/reply_faults.h"

#include <algorithm>

#include "protocol/reply.h"
#include "protocol/wire.h"
#include "sim/sim_words.h"

namespace tarvok::sim {

namespace {

using protocol::Frame;

constexpr std::size_t kFalseStartAt = 1;

// xorshift32: cheap, deterministic, and never stuck at zero for a non-zero start.
std::uint32_t next_random(std::uint32_t x) {
    x ^= x << 13U;
    x ^= x >> 17U;
    x ^= x << 5U;
    return x;
}

bool false_start_forms_reply(const std::vector<std::uint8_t>& junk, const Frame& reply) {
    std::vector<std::uint8_t> stream = junk;
    stream.insert(stream.end(), reply.begin(), reply.end());
    return protocol::accepted(
        protocol::judge(protocol::frame_from(std::span(stream).subspan(kFalseStartAt))));
}

// splitmix64's finaliser: every bit of the input moves every bit of the output.
std::uint64_t mixed(std::uint64_t x) {
    x = (x ^ (x >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27U)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31U);
}

// Each byte a piece of its own, `gap` after the one before it.
std::vector<Piece> trickled(const std::vector<Piece>& pieces, std::chrono::milliseconds gap) {
    std::vector<Piece> bytes;
    for (const auto& piece : pieces) {
        for (std::size_t i = 0; i < piece.bytes.size(); ++i) {
            const auto pause = (i == 0 ? piece.pause : std::chrono::microseconds{0}) +
                               (bytes.empty() ? std::chrono::microseconds{0} : gap);
            bytes.push_back({pause, {piece.bytes[i]}});
        }
    }
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> junk_bytes(const Frame& reply, std::uint32_t seed) {
    std::uint32_t r = next_random(seed == 0 ? 0x9E3779B9U : seed);
    const std::size_t length = 3 + (r % 4);
    std::vector<std::uint8_t> junk;
    for (std::size_t i = 0; i < length; ++i) {
        r = next_random(r);
        auto byte = static_cast<std::uint8_t>(r >> 24U);
        // Only the one planted false start may look like the beginning of a reply.
        junk.push_back(byte == protocol::kReplyStart ? static_cast<std::uint8_t>(byte + 1) : byte);
    }
    junk[kFalseStartAt] = protocol::kReplyStart;
    // Changing one byte inside the false candidate changes its sum, so one nudge
    // (two if the first would plant another start) is enough to spoil it.
    while (false_start_forms_reply(junk, reply) || junk[2] == protocol::kReplyStart) {
        ++junk[2];
    }
    return junk;
}

std::chrono::microseconds paced_wait(std::uint32_t baud, protocol::Parity parity) {
    if (baud == 0) {
        return protocol::kModuleTurnaround;
    }
    return protocol::wire_time(protocol::kExchangeBytes, baud, parity) +
           protocol::kModuleTurnaround;
}

std::vector<Piece> shape_reply(const Frame& reply, const ReplyFaults& faults, std::uint32_t seed,
                               std::chrono::microseconds wire) {
    if (faults.no_reply) {
        return {};
    }
    Frame sent = reply;
    if (faults.corrupt_checksum) {
        ++sent[protocol::kChecksumByte];
    }
    std::vector<Piece> pieces;
    if (faults.garbage) {
        pieces.push_back({{}, junk_bytes(sent, seed)});
    }
    if (faults.split) {
        pieces.push_back({{}, {sent.begin(), sent.begin() + kSplitAt}});
        pieces.push_back({kSplitPause, {sent.begin() + kSplitAt, sent.end()}});
    } else {
        pieces.push_back({{}, {sent.begin(), sent.end()}});
    }
    pieces.front().pause = wire + std::chrono::milliseconds(std::max(0, faults.delay_ms));
    if (faults.trickle_ms > 0) {
        pieces = trickled(pieces, std::chrono::milliseconds(faults.trickle_ms));
    }
    if (faults.twice_ms) {
        auto again = pieces;
        again.front().pause = std::chrono::milliseconds(std::max(0, *faults.twice_ms));
        pieces.insert(pieces.end(), again.begin(), again.end());
    }
    return pieces;
}

bool reply_lost(const ReplyFaults& faults, std::uint32_t number) {
    const auto draw = mixed((std::uint64_t{faults.seed} << 32U) | number) % 100;
    return draw < static_cast<std::uint64_t>(std::max(0, faults.drop_percent));
}

std::vector<std::string> fault_labels(const ReplyFaults& faults) {
    if (faults.no_reply) {
        return {std::string(word(SimWord::no_reply))};
    }
    std::vector<std::string> labels;
    if (faults.delay_ms > 0) {
        labels.push_back(say(SimWord::delay, {std::to_string(faults.delay_ms)}));
    }
    if (faults.garbage) {
        labels.emplace_back(word(SimWord::garbage));
    }
    if (faults.split) {
        labels.emplace_back(word(SimWord::split));
    }
    if (faults.corrupt_checksum) {
        labels.emplace_back(word(SimWord::corrupt));
    }
    if (faults.trickle_ms > 0) {
        labels.push_back(say(SimWord::trickle, {std::to_string(faults.trickle_ms)}));
    }
    if (faults.twice_ms) {
        labels.push_back(say(SimWord::twice, {std::to_string(*faults.twice_ms)}));
    }
    return labels;
}

std::string lost_label(std::uint32_t number) {
    return say(SimWord::lost, {std::to_string(number)});
}

std::string drop_label(const ReplyFaults& faults) {
    return say(SimWord::drop, {std::to_string(faults.drop_percent), std::to_string(faults.seed)});
}

}  // namespace tarvok::sim
