// The settings text of the serial line, "<baud>,<n|o|e>,8,1". Plain C++ so it can be
// checked on its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "protocol/request.h"

namespace tarvok::serial {

using protocol::Parity;

// Highest rate accepted; far above what any adapter in use runs at.
inline constexpr std::uint32_t kMaxBaud = 4'000'000;

// The settings for a well-formed text, nothing otherwise: a decimal rate from 1 to
// kMaxBaud without sign or blanks, a parity letter n, o or e (either case),
// eight data bits and one stop bit.
std::optional<protocol::LineSetting> parse_line_settings(std::string_view text);

// The letter of the settings text for a parity: n, o or e.
char parity_letter(Parity parity);

}  // namespace tarvok::serial
