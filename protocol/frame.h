// Command and reply frames spoken with the relay module: 8 bytes each,
// a start byte, six content bytes and an additive checksum.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tarvok::protocol {

using Frame = std::array<std::uint8_t, 8>;

inline constexpr std::size_t kFrameSize = 8;
inline constexpr std::uint8_t kCommandStart = 0x55;
inline constexpr std::uint8_t kReplyStart = 0x22;
inline constexpr std::size_t kAddressByte = 1;
inline constexpr std::size_t kCodeByte = 2;
inline constexpr std::size_t kStatusByte = 6;
inline constexpr std::size_t kChecksumByte = 7;

// Sum of bytes 0 to 6, start byte included, modulo 256. Shared by both directions.
constexpr std::uint8_t checksum(const Frame& frame) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < kChecksumByte; ++i) {
        sum += frame[i];
    }
    return static_cast<std::uint8_t>(sum & 0xFFU);
}

// A frame with the given start byte, address, code and parameter bytes, checksum filled in.
constexpr Frame make_frame(std::uint8_t start, std::uint8_t address, std::uint8_t code,
                           std::array<std::uint8_t, 4> params) {
    Frame frame{start, address, code, params[0], params[1], params[2], params[3], 0};
    frame[kChecksumByte] = checksum(frame);
    return frame;
}

// The three builders differ only in how many trailing parameter bytes they take;
// the leading bytes they do not take are zero.
constexpr Frame encode_frame2(std::uint8_t address, std::uint8_t code, std::uint8_t p1,
                              std::uint8_t p2) {
    return make_frame(kCommandStart, address, code, {0, 0, p1, p2});
}

constexpr Frame encode_frame3(std::uint8_t address, std::uint8_t code, std::uint8_t p1,
                              std::uint8_t p2, std::uint8_t p3) {
    return make_frame(kCommandStart, address, code, {0, p1, p2, p3});
}

constexpr Frame encode_frame4(std::uint8_t address, std::uint8_t code, std::uint8_t p1,
                              std::uint8_t p2, std::uint8_t p3, std::uint8_t p4) {
    return make_frame(kCommandStart, address, code, {p1, p2, p3, p4});
}

// Bit `bit_index` (0 = least significant) of `value` as 0 or 1.
// Throws std::out_of_range for an index outside 0 to 7.
int get_bit(std::uint8_t value, int bit_index);

// Copies the first eight bytes of `bytes` into a frame; `bytes` must hold at least eight.
Frame frame_from(std::span<const std::uint8_t> bytes);

// Where the next frame stands in a stream of received bytes. A candidate begins
// with one of `starts` and must carry the right checksum; otherwise the search
// moves on by one byte, so a frame behind junk or a false start is still found.
// `skip` bytes before the frame (or before a tail that may still become one, or all
// of them) are junk; `frame` is empty when no whole frame is there yet.
struct Scan {
    std::size_t skip = 0;
    std::optional<Frame> frame;
};
Scan scan_frame(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> starts);

// Upper-case hex with a blank between bytes: "55 01 44 00 00 01 03 9E".
std::string hex(std::span<const std::uint8_t> bytes);

}  // namespace tarvok::protocol
