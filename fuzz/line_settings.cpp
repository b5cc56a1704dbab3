// The settings text "<baud>,<n|o|e>,8,1": accepted exactly when it has that form,
// and an accepted text rendered back is the same text (parity letter in lower case),
// which parses to the same settings.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "serial/line_settings.h"

namespace {

using tarvok::serial::kMaxBaud;
using tarvok::serial::LineSettings;
using tarvok::serial::Parity;
using tarvok::serial::parse_line_settings;

void require(bool holds, const char* what, std::string_view text) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s for \"%.*s\"\n", what, int(text.size()), text.data());
        std::abort();
    }
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// The form written out by hand: a rate without sign, blank or leading zero, at most
// kMaxBaud; one parity letter; then exactly ",8,1".
bool well_formed(std::string_view t) {
    const auto comma = t.find(',');
    if (comma == std::string_view::npos || comma == 0 || comma > 7) {
        return false;
    }
    std::uint32_t baud = 0;
    for (std::size_t i = 0; i < comma; ++i) {
        if (t[i] < '0' || t[i] > '9' || (i == 0 && t[i] == '0')) {
            return false;
        }
        baud = baud * 10 + std::uint32_t(t[i] - '0');
    }
    const std::string_view rest = t.substr(comma + 1);
    return baud <= kMaxBaud && rest.size() == 5 &&
           std::string_view("noe").find(lower(rest[0])) != std::string_view::npos &&
           rest.substr(1) == ",8,1";
}

std::string render(const LineSettings& s) {
    constexpr std::array<char, 3> kLetters = {'n', 'o', 'e'};
    return std::to_string(s.baud) + ',' + kLetters.at(std::size_t(s.parity)) + ",8,1";
}

void check_text(std::string_view text) {
    const auto parsed = parse_line_settings(text);
    require(parsed.has_value() == well_formed(text), "acceptance differs from the form", text);
    if (!parsed) {
        return;
    }
    require(parsed->baud >= 1 && parsed->baud <= kMaxBaud, "rate out of range", text);
    const std::string again = render(*parsed);
    std::string canonical(text);
    canonical[canonical.find(',') + 1] = lower(canonical[canonical.find(',') + 1]);
    require(again == canonical, "rendering is not the text", text);
    require(parse_line_settings(again) == parsed, "rendering parses otherwise", text);
}

// Any settings value survives rendering and parsing.
void check_value(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return;
    }
    const std::uint32_t raw = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                              std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24;
    const LineSettings value{1 + raw % kMaxBaud, Parity(data[4] % 3)};
    const std::string text = render(value);
    require(parse_line_settings(text) == value, "a rendered value did not come back", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check_text(std::string_view(reinterpret_cast<const char*>(data), size));
    check_value(data, size);
    return 0;
}
