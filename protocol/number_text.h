// Numbers typed by the operator: the module address and the two entry boxes.
//
// Accepted text: optional blanks (spaces or tabs), an optional sign, decimal
// digits with an optional fractional part after a '.', optional blanks. At least
// one digit must be present (".5" and "5." are fine). A fraction rounds to the
// nearest whole number, an exact half to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Nothing else is a number here: no hex prefixes, exponents, thousands
// separators or currency signs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvok::protocol {

// The rounded value, or nothing when the text is not a number or its magnitude
// exceeds what 64 bits hold.
std::optional<std::int64_t> parse_rounded(std::string_view text);

std::optional<std::int16_t> to_int16(std::string_view text);

// The address byte for a frame: the rounded value when it is 0 to 255. Anything
// else is refused rather than wrapped: 300 sent as 44 would reconfigure another
// module on the bus.
std::optional<std::uint8_t> address_byte(std::string_view text);

// A number from a command line or a plan file, where a script's 5.5 is a mistake to
// refuse rather than a module to pick: decimal digits only (no sign, blank,
// fraction, exponent or hex), from `low` to `high`. Nothing for anything else.
std::optional<std::uint32_t> whole_number(std::string_view text, std::uint32_t low,
                                          std::uint32_t high);

// "1-8,12" -> 1..8 and 12, ascending, each once; nothing when any part is no address
// from 0 to 255 (strict whole numbers) or a range runs backwards.
std::optional<std::vector<std::uint8_t>> address_list(std::string_view text);

// The other way round: 1,2,3,5 -> "1-3,5".
std::string address_list_text(const std::vector<std::uint8_t>& addresses);

}  // namespace tarvok::protocol
