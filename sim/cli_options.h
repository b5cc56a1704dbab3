// Command-line options of tarvok-sim. Kept apart from the program so that every
// refusal can be checked without starting a simulator.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sim/reply_faults.h"

namespace tarvok::sim {

// --port auto: the first port number nobody else holds.
inline constexpr int kFirstFreePort = 0;

struct Options {
    int port = 1;                            // or kFirstFreePort
    std::vector<std::uint8_t> addresses{1};  // one module per address, ascending, each once
    std::uint32_t baud = 9600;
    bool fail = false;
    ReplyFaults faults;
};

inline constexpr int kMaxPort = 255;
inline constexpr int kMaxDelayMs = 60'000;

struct HelpRequested {};
struct VersionRequested {};
struct OptionError {
    std::string message;  // Chinese, one line, names the option at fault
};
using ParsedOptions = std::variant<Options, HelpRequested, VersionRequested, OptionError>;

// `args` without the program name. Values follow as the next argument or after '='.
ParsedOptions parse_options(std::span<const std::string_view> args);

// "1-8,12" -> 1..8 and 12, ascending, each once; nothing when any part is no address
// from 0 to 255 or a range runs backwards.
std::optional<std::vector<std::uint8_t>> parse_address_list(std::string_view text);

// The other way round: 1,2,3,5 -> "1-3,5".
std::string address_list_text(const std::vector<std::uint8_t>& addresses);

std::string help_text();
std::string version_text();

}  // namespace tarvok::sim
