#include "protocol/reply.h"

#include "protocol/protocol_words.h"
#include "protocol/request.h"

namespace tarvok::protocol {

namespace {

std::string hex_byte(std::uint8_t byte) { return hex(std::span(&byte, 1)); }

}  // namespace

Verdict judge(const Frame& reply) {
    if (reply[0] != kReplyStart) {
        return Verdict::start_byte;
    }
    if (reply[kChecksumByte] != checksum(reply)) {
        return Verdict::checksum;
    }
    return get_bit(reply[kStatusByte], 0) == 1 ? Verdict::success : Verdict::failure;
}

Frame make_reply(std::uint8_t address, std::uint8_t code, bool success) {
    const std::uint8_t status = success ? 1 : 0;
    return make_frame(kReplyStart, address, code, {0, 0, 0, status});
}

bool echoes(const Frame& reply, const Frame& sent) {
    return reply[kAddressByte] == sent[kAddressByte] && reply[kCodeByte] == sent[kCodeByte];
}

std::string describe(Verdict verdict, const Frame& reply) {
    switch (verdict) {
    case Verdict::success:
        return std::string(word(ProtocolWord::success));
    case Verdict::failure:
        return std::string(word(ProtocolWord::failure));
    case Verdict::start_byte:
        return words::fill(word(ProtocolWord::start_byte_not), {hex_byte(kReplyStart)});
    case Verdict::checksum:
        break;
    }
    return words::fill(word(ProtocolWord::checksum_wrong), {hex_byte(checksum(reply))});
}

WireWords sent_words(const Frame& frame) {
    return {std::string(word(ProtocolWord::sent)), hex(frame),
            words::fill(word(ProtocolWord::at_address),
                        {std::to_string(frame[kAddressByte]), describe_frame(frame)})};
}

WireWords received_words(const Frame& reply, const std::optional<Frame>& last_sent) {
    const Verdict verdict = judge(reply);
    WireWords words{std::string(word(ProtocolWord::received)), hex(reply),
                    describe(verdict, reply)};
    if (accepted(verdict) && last_sent && !echoes(reply, *last_sent)) {
        words.meaning += " · " + std::string(unmatched_words());
    }
    return words;
}

std::string line(const WireWords& words) {
    return words.direction + " " + words.hex + " · " + words.meaning;
}

std::string late_words(int ms) {
    return words::fill(word(ProtocolWord::late), {std::to_string(ms)});
}

}  // namespace tarvok::protocol
