// Typed numbers: the rounded value, the 16-bit conversion and the address byte must
// agree with a plain model of the accepted text, with each other, and with
// themselves under rewrites that cannot change a number.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/number_text.h"

namespace {

using namespace tarvok::protocol;

void require(bool holds, const char* what, std::string_view text) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s for \"%.*s\"\n", what, int(text.size()), text.data());
        std::abort();
    }
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool all_digits(std::string_view s) { return std::ranges::all_of(s, is_digit); }

std::string_view trimmed(std::string_view t) {
    while (!t.empty() && is_blank(t.front())) {
        t.remove_prefix(1);
    }
    while (!t.empty() && is_blank(t.back())) {
        t.remove_suffix(1);
    }
    return t;
}

// A number as the text spells it: blanks, sign, whole digits, '.', fraction digits.
struct Spelling {
    bool negative = false;
    bool signed_ = false;
    std::string_view whole;
    std::string_view fraction;
    bool has_dot = false;
};

std::optional<Spelling> spelling(std::string_view text) {
    std::string_view t = trimmed(text);
    Spelling s;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        s.negative = t.front() == '-';
        s.signed_ = true;
        t.remove_prefix(1);
    }
    const auto dot = t.find('.');
    s.has_dot = dot != std::string_view::npos;
    s.whole = t.substr(0, dot);
    s.fraction = s.has_dot ? t.substr(dot + 1) : std::string_view{};
    if (!all_digits(s.whole) || !all_digits(s.fraction) ||
        (s.whole.empty() && s.fraction.empty())) {
        return std::nullopt;
    }
    return s;
}

// The value for spellings of at most 18 significant whole digits, which fit with
// room to spare. Decimal fractions compare as strings once trailing zeros go, so
// "half" and "more than half" need no arithmetic.
std::optional<std::int64_t> model_value(const Spelling& s) {
    std::string_view whole = s.whole;
    while (!whole.empty() && whole.front() == '0') {
        whole.remove_prefix(1);
    }
    if (whole.size() > 18) {
        return std::nullopt;
    }
    std::int64_t magnitude = 0;
    for (char c : whole) {
        magnitude = magnitude * 10 + (c - '0');
    }
    std::string_view fraction = s.fraction;
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.remove_suffix(1);
    }
    const bool half = fraction == "5";
    const bool above_half = !half && fraction > std::string_view("5");
    if (above_half || (half && magnitude % 2 == 1)) {
        ++magnitude;
    }
    return s.negative ? -magnitude : magnitude;
}

template <typename Int>
std::optional<std::int64_t> in_range(std::optional<std::int64_t> v) {
    if (v && *v >= std::numeric_limits<Int>::min() && *v <= std::numeric_limits<Int>::max()) {
        return v;
    }
    return std::nullopt;
}

std::optional<std::int64_t> widen(std::optional<std::int16_t> v) {
    return v ? std::optional<std::int64_t>(*v) : std::nullopt;
}

void check_against_model(std::string_view text, std::optional<std::int64_t> parsed) {
    const auto s = spelling(text);
    if (!s) {
        require(!parsed, "a text outside the grammar was accepted", text);
        return;
    }
    if (const auto expected = model_value(*s)) {
        require(parsed == expected, "value differs from the model", text);
    } else if (parsed) {
        require(*parsed >= 100'000'000'000'000'000 || *parsed <= -100'000'000'000'000'000,
                "a huge spelling gave a small value", text);
    }
}

// The 16-bit box value and the address byte follow from the value alone: the
// address only where it is 0 to 255, never wrapped onto another module.
void check_conversions(std::string_view text, std::optional<std::int64_t> parsed) {
    require(widen(to_int16(text)) == in_range<std::int16_t>(parsed), "to_int16", text);
    const auto address = address_byte(text);
    const bool in_bus = parsed && *parsed >= 0 && *parsed <= 255;
    require(address.has_value() == in_bus, "address acceptance", text);
    require(!address || *address == *parsed, "address byte value", text);
}

// Rewrites that keep the number: extra blanks, an explicit sign, a trailing
// fraction zero, a leading zero.
void check_rewrites(std::string_view text, std::optional<std::int64_t> parsed) {
    const auto s = spelling(text);
    if (!s || !parsed) {
        return;
    }
    const std::string core(trimmed(text));
    require(parse_rounded(" \t" + core + "\t ") == parsed, "blanks changed the value", text);
    require(parse_rounded(core + (s->has_dot ? "0" : ".0")) == parsed, "a zero changed it", text);
    if (!s->signed_) {
        require(parse_rounded("+" + core) == parsed, "'+' changed the value", text);
        require(parse_rounded("-" + core) == -*parsed, "'-' did not negate", text);
        require(parse_rounded("0" + core) == parsed, "a leading zero changed it", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = parse_rounded(text);
    check_against_model(text, parsed);
    check_conversions(text, parsed);
    check_rewrites(text, parsed);
    return 0;
}
