// A setting as a technician writes it, on the command line or in a plan line: the
// setting's name, then its arguments ("mode 3 自锁", "power-on all 上电记忆",
// "line 19200 偶校验"). Values are the window's list texts, exactly, or their ASCII
// aliases in any case (SELF-LOCK, All): spreadsheets and shells change case freely.
// What is wrong comes back as a fact; plan/plan_words.h puts it into words.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "protocol/request.h"

namespace tarvok::plan {

using protocol::Kind;
using protocol::kKinds;

// Module addresses are one byte: 0 to this.
inline constexpr int kLastAddress = 255;

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

// The kind named by `text` (name or alias); nothing for any other text.
const protocol::Named<Kind>* find_kind(std::string_view text);

// Whether the kind takes a channel as its first argument.
bool takes_channel(Kind kind);

// 1 to 32, "第3路" (blanks inside allowed: "第 3 路"), "全部" or "all" (kAllChannels).
std::optional<std::uint8_t> channel_from(std::string_view text);

// Which argument of a setting is wrong, and how.
enum class SettingProblem {
    argument_count,    // not exactly two arguments
    channel,           // not a channel
    mode,              // not an association mode
    power_on,          // not a power-on state
    baud,              // not a number
    baud_unsupported,  // a number the module does not know
    parity,            // not a parity
};

struct SettingFault {
    SettingProblem problem = SettingProblem::argument_count;
    Kind kind = Kind::mode;
    std::string word;  // the argument at fault, as written; empty for argument_count
    friend bool operator==(const SettingFault&, const SettingFault&) = default;
};

// The request for a kind and its two arguments (channel and value, or baud and
// parity), or the fault of the first argument that does not fit.
using SettingOrFault = std::variant<protocol::Request, SettingFault>;
SettingOrFault setting_from(Kind kind, std::span<const std::string_view> args);

}  // namespace tarvok::plan
