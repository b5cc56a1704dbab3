// What is wrong with a command line, as facts: which fault, the option, the value given
// and what the option allows. error_text() is the one place they become a sentence,
// the same for tarvokctl, tarvok-sim and tarvok.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvok::cmdline {

enum class Fault {
    unknown_option,   // option: as typed
    missing_value,    // option: the last argument, and it needs a value
    value_not_taken,  // option: a switch given "=value"
    bad_value,        // option, value, allowed
    bad_part,         // option, value, allowed: one part of the value (group_rate, group_parity)
    given_twice,      // option; value and other: the two values, which differ
    contradiction,    // option and other: two switches that exclude each other
    extra_argument,   // value: an argument where the program takes none
    shared_address,   // value: the address; option and other: the two groups as typed
};

// What a value may be.
enum class Expect {
    number,        // decimal digits, from low to high
    rate,          // a rate of protocol::kBaudCodes
    parity,        // a word of protocol::kParities
    address_list,  // addresses 0 to 255 as a list such as 1-8,12
    module_group,  // LIST[@RATE[/PARITY]]
    group_rate,    // the rate after '@' in a module group
    group_parity,  // the parity after '/' in a module group
};

enum class Unit { none, port, milliseconds, percent };

struct Allowed {
    Expect expect = Expect::number;
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    Unit unit = Unit::none;
    std::string_view keyword = {};  // one more word the option takes, "auto"
};

struct Error {
    Fault fault = Fault::unknown_option;
    std::string option;  // "--port", whether typed "--port" or "-port"
    std::string value;
    std::string other;
    Allowed allowed = {};
};

// The sentence for an error, in the user's language, without a final full stop.
std::string error_text(const Error& error);

// One line for standard error: "tarvok-sim：<sentence>。用 tarvok-sim --help 查看用法。"
std::string usage_line(std::string_view program, std::string_view sentence);

// Text from the user inside a sentence: “text”, cut to 40 characters with "…" so a
// runaway word cannot flood the terminal.
std::string quoted(std::string_view text);

}  // namespace tarvok::cmdline
