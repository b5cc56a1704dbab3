// One command-line style for tarvokctl, tarvok-sim and tarvok. Options may stand
// anywhere among the other arguments, written --name or -name (or -h for a one-letter
// name); a value follows as the next argument, even one that starts with '-', or after
// '='; "--" ends the options. An option that takes one value may be given again with
// the same value, never with another (Once). Numbers are decimal digits only; the
// ASCII words of a table count in any case, its Chinese words only exactly.
// Standard library only, so that every program takes it, with Qt or without.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cmdline/error.h"
#include "protocol/tables.h"

namespace tarvok::cmdline {

struct Option {
    std::string_view name;  // without dashes: "port"
    bool takes_value = false;
    std::string_view letter = {};  // a one-letter name besides, "h"
};

struct Given {
    std::size_t option = 0;  // its place in the table
    std::string value;       // empty for a switch
};

struct Arguments {
    std::vector<Given> options;  // in the order given
    std::vector<std::string> positional;
};

// `args` without the program's name. Unknown options, missing values and values given
// to switches are the errors here; what the values mean is the program's to judge.
std::variant<Arguments, Error> parse(std::span<const Option> table,
                                     std::span<const std::string> args);

// Whether the option at `option` in the table was given.
bool asks(const Arguments& arguments, std::size_t option);

// "--port" for the table's "port".
std::string dashed(const Option& option);

// Whether `text` is the ASCII word `word`, in any case.
bool same_word(std::string_view text, std::string_view word);

// The entry whose name is `text` exactly or whose alias is `text` in any case.
template <typename Value, std::size_t N>
const protocol::Named<Value>* find_word(const std::array<protocol::Named<Value>, N>& table,
                                        std::string_view text) {
    for (const auto& entry : table) {
        if (entry.name == text || same_word(text, entry.alias)) {
            return &entry;
        }
    }
    return nullptr;
}

// A rate of protocol::kBaudCodes, as plain digits.
std::optional<std::uint32_t> rate(std::string_view text);

// A number within `allowed`, or the error naming `option` and `text`.
std::variant<std::uint32_t, Error> number(std::string_view option, std::string_view text,
                                          const Allowed& allowed);

// Values alike: equal, or for text the same but for the case of ASCII letters.
template <typename T>
bool alike(const T& a, const T& b) {
    return a == b;
}
inline bool alike(const std::string& a, const std::string& b) { return same_word(a, b); }

// A value an option gives once; given again it must be alike, else that is the error.
template <typename T>
class Once {
public:
    std::optional<Error> set(std::string_view option, std::string_view text, T value) {
        if (value_ && !alike(*value_, value)) {
            return Error{Fault::given_twice, std::string(option), text_, std::string(text), {}};
        }
        value_ = std::move(value);
        text_ = text;
        return std::nullopt;
    }
    [[nodiscard]] const std::optional<T>& get() const { return value_; }

private:
    std::optional<T> value_;
    std::string text_;
};

// Reads a number into `once`: the error when `text` is none within `allowed`, or when
// the option gave another before.
std::optional<Error> set_number(Once<std::uint32_t>& once, std::string_view option,
                                std::string_view text, const Allowed& allowed);

}  // namespace tarvok::cmdline
