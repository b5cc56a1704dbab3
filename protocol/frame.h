// Command and reply frames spoken with the relay module: 8 bytes each,
// a start byte, six content bytes and an additive checksum.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tarvok::protocol {

using Frame = std::array<std::uint8_t, 8>;

inline constexpr std::size_t kFrameSize = 8;
inline constexpr std::uint8_t kCommandStart = 0x55;
inline constexpr std::uint8_t kReplyStart = 0x22;
inline constexpr std::size_t kStatusByte = 6;
inline constexpr std::size_t kChecksumByte = 7;

// The six commands the tool sends.
enum class Command : std::uint8_t {
    channel_mode = 0x44,
    power_on_state_all = 0x46,
    power_on_state_channel = 0x47,
    power_on_memory_all = 0x49,
    power_on_memory_channel = 0x4A,
    device_serial = 0x4B,
};

inline constexpr std::uint8_t kAllChannels = 0xFF;
inline constexpr int kChannelCount = 32;

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

// The three encoders differ only in how many trailing parameter bytes they take;
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

// Baud rates the module knows and the code that selects each, in list order.
struct BaudCode {
    std::uint32_t baud;
    std::uint8_t code;
};

inline constexpr std::array<BaudCode, 8> kBaudCodes = {{
    {1200, 0x12},
    {2400, 0x24},
    {4800, 0x48},
    {9600, 0x96},
    {19200, 0x19},
    {38400, 0x38},
    {57600, 0x57},
    {115200, 0x11},
}};

constexpr std::optional<std::uint32_t> baud_for_code(std::uint8_t code) {
    for (const auto& entry : kBaudCodes) {
        if (entry.code == code) {
            return entry.baud;
        }
    }
    return std::nullopt;
}

// Module parity codes, in list order: none, odd, even.
inline constexpr std::uint8_t kParityCodeCount = 3;

// Bit `bit_index` (0 = least significant) of `value` as 0 or 1.
// Throws std::out_of_range for an index outside 0 to 7.
int get_bit(std::uint8_t value, int bit_index);

// A reply passes when it starts with 0x22 and carries the right checksum.
constexpr bool reply_valid(const Frame& reply) {
    return reply[0] == kReplyStart && reply[kChecksumByte] == checksum(reply);
}

// The status of a reply that passes the check: true for success (bit 0 of byte 6).
// Nothing for a reply that fails the check.
std::optional<bool> reply_status(const Frame& reply);

// Copies the first eight bytes of `bytes` into a frame; `bytes` must hold at least eight.
Frame frame_from(std::span<const std::uint8_t> bytes);

}  // namespace tarvok::protocol
