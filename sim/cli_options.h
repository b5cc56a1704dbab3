// Command-line options of tarvok-sim. Kept apart from the program so that every
// refusal can be checked without starting a simulator.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "sim/reply_faults.h"

namespace tarvok::sim {

struct Options {
    int port = 1;
    std::uint8_t address = 1;
    std::uint32_t baud = 9600;
    bool fail = false;
    ReplyFaults faults;
};

inline constexpr int kMaxPort = 255;
inline constexpr int kMaxDelayMs = 60'000;

struct HelpRequested {};
struct OptionError {
    std::string message;  // Chinese, one line, names the option at fault
};
using ParsedOptions = std::variant<Options, HelpRequested, OptionError>;

// `args` without the program name. Values follow as the next argument or after '='.
ParsedOptions parse_options(std::span<const std::string_view> args);
std::string help_text();

}  // namespace tarvok::sim
