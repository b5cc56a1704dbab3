#include "protocol/frame.h"

#include <algorithm>
#include <stdexcept>

namespace tarvok::protocol {

int get_bit(std::uint8_t value, int bit_index) {
    if (bit_index < 0 || bit_index > 7) {
        throw std::out_of_range("bit index outside 0 to 7");
    }
    return (value >> bit_index) & 1;
}

Frame frame_from(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFrameSize) {
        throw std::invalid_argument("a frame needs eight bytes");
    }
    Frame frame{};
    std::copy_n(bytes.begin(), kFrameSize, frame.begin());
    return frame;
}

Scan scan_frame(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> starts) {
    const auto starts_frame = [starts](std::uint8_t b) {
        return std::find(starts.begin(), starts.end(), b) != starts.end();
    };
    std::size_t at = 0;
    for (; at < bytes.size(); ++at) {
        if (!starts_frame(bytes[at])) {
            continue;
        }
        if (bytes.size() - at < kFrameSize) {
            return {at, std::nullopt};  // the start of a frame still arriving
        }
        const Frame candidate = frame_from(bytes.subspan(at));
        if (candidate[kChecksumByte] == checksum(candidate)) {
            return {at, candidate};
        }
    }
    return {at, std::nullopt};
}

std::string hex(std::span<const std::uint8_t> bytes) {
    static constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[byte >> 4U];
        text += kDigits[byte & 0x0FU];
    }
    return text;
}

}  // namespace tarvok::protocol
