#include "serial/line_settings.h"

#include <array>
#include <charconv>

namespace tarvok::serial {

namespace {

std::optional<std::uint32_t> parse_baud(std::string_view text) {
    if (text.empty() || text.front() < '1' || text.front() > '9') {
        return std::nullopt;  // no sign, blank or leading zero
    }
    std::uint32_t baud = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, baud);
    if (ec != std::errc{} || ptr != end || baud > kMaxBaud) {
        return std::nullopt;
    }
    return baud;
}

// Either case of the letter.
std::optional<Parity> parse_parity(std::string_view text) {
    if (text.size() != 1) {
        return std::nullopt;
    }
    const char letter = text.front() >= 'A' && text.front() <= 'Z'
                            ? static_cast<char>(text.front() - 'A' + 'a')
                            : text.front();
    for (const auto& entry : protocol::kParities) {
        if (parity_letter(entry.value) == letter) {
            return entry.value;
        }
    }
    return std::nullopt;
}

// Splits on commas into exactly N fields; nothing when the count differs.
template <std::size_t N>
std::optional<std::array<std::string_view, N>> split_fields(std::string_view text) {
    std::array<std::string_view, N> fields{};
    for (std::size_t i = 0; i < N; ++i) {
        const auto comma = text.find(',');
        const bool last = i + 1 == N;
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        fields[i] = text.substr(0, comma);
        text = last ? std::string_view{} : text.substr(comma + 1);
    }
    return fields;
}

}  // namespace

std::optional<protocol::LineSetting> parse_line_settings(std::string_view text) {
    const auto fields = split_fields<4>(text);
    if (!fields || (*fields)[2] != "8" || (*fields)[3] != "1") {
        return std::nullopt;
    }
    const auto baud = parse_baud((*fields)[0]);
    const auto parity = parse_parity((*fields)[1]);
    if (!baud || !parity) {
        return std::nullopt;
    }
    return protocol::LineSetting{*baud, *parity};
}

char parity_letter(Parity parity) {
    switch (parity) {
    case Parity::odd:
        return 'o';
    case Parity::even:
        return 'e';
    case Parity::none:
        break;
    }
    return 'n';
}

}  // namespace tarvok::serial
