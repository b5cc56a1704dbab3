#include "protocol/number_text.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tarvok::protocol {

namespace {

constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Magnitudes are accumulated unsigned; anything above this is refused.
constexpr std::uint64_t kMagnitudeLimit = std::numeric_limits<std::int64_t>::max();

// Whether the fraction digits, after a rounding to the nearest whole number,
// carry the magnitude up by one; `odd` tells which way an exact half goes.
bool rounds_up(std::string_view fraction, bool odd) {
    if (fraction.empty() || fraction.front() < '5') {
        return false;
    }
    if (fraction.front() > '5') {
        return true;
    }
    for (char c : fraction.substr(1)) {
        if (c != '0') {
            return true;
        }
    }
    return odd;
}

template <typename Int>
std::optional<Int> narrow(std::optional<std::int64_t> value) {
    if (!value || *value < std::numeric_limits<Int>::min() ||
        *value > std::numeric_limits<Int>::max()) {
        return std::nullopt;
    }
    return static_cast<Int>(*value);
}

}  // namespace

std::optional<std::int64_t> parse_rounded(std::string_view text) {
    text = trim_blanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    if (whole.empty() && fraction.empty()) {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    for (char c : whole) {
        if (!is_digit(c)) {
            return std::nullopt;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        // Checked before multiplying: past the limit the product can wrap around
        // 64 bits and land on a small, plausible value.
        if (magnitude > (kMagnitudeLimit - digit) / 10) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + digit;
    }
    for (char c : fraction) {
        if (!is_digit(c)) {
            return std::nullopt;
        }
    }
    if (rounds_up(fraction, (magnitude & 1U) != 0)) {
        ++magnitude;
        if (magnitude > kMagnitudeLimit) {
            return std::nullopt;
        }
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return negative ? -value : value;
}

std::optional<std::int16_t> to_int16(std::string_view text) {
    return narrow<std::int16_t>(parse_rounded(text));
}

std::optional<std::uint8_t> address_byte(std::string_view text) {
    return narrow<std::uint8_t>(parse_rounded(text));
}

std::optional<std::uint32_t> whole_number(std::string_view text, std::uint32_t low,
                                          std::uint32_t high) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!is_digit(c)) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > high) {
            return std::nullopt;  // also stops long digit runs before they wrap
        }
    }
    if (value < low) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::vector<std::uint8_t>> address_list(std::string_view text) {
    std::array<bool, 256> on{};
    while (true) {
        const auto comma = text.find(',');
        const std::string_view part = text.substr(0, comma);
        const auto dash = part.find('-');
        const auto first = whole_number(part.substr(0, dash), 0, 255);
        const auto last =
            dash == std::string_view::npos ? first : whole_number(part.substr(dash + 1), 0, 255);
        if (!first || !last || *last < *first) {
            return std::nullopt;
        }
        std::fill(on.begin() + *first, on.begin() + *last + 1, true);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    std::vector<std::uint8_t> addresses;
    for (std::size_t a = 0; a < on.size(); ++a) {
        if (on[a]) {
            addresses.push_back(static_cast<std::uint8_t>(a));
        }
    }
    return addresses;
}

std::string address_list_text(const std::vector<std::uint8_t>& addresses) {
    std::string text;
    for (std::size_t i = 0; i < addresses.size();) {
        std::size_t j = i;
        while (j + 1 < addresses.size() && addresses[j + 1] == addresses[j] + 1) {
            ++j;
        }
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(addresses[i]);
        if (j > i) {
            text += '-';
            text += std::to_string(addresses[j]);
        }
        i = j + 1;
    }
    return text;
}

}  // namespace tarvok::protocol
