// A setting as a technician writes it, on the command line or in a plan line: the
// setting's name, then its arguments ("mode 3 自锁", "power-on all 上电记忆",
// "line 19200 偶校验"). Values are the window's list texts, exactly, or their ASCII
// aliases in any case (SELF-LOCK, All): spreadsheets and shells change case freely.
// Plain C++ so the plan parser built on it can be fuzzed without Qt.
#pragma once

#include <array>
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

// Text from the user echoed in a message: “text”, cut to 40 characters with "…" so a
// runaway word cannot flood the terminal.
std::string echo(std::string_view text);

// Whether the kind takes a channel as its first argument.
bool takes_channel(Kind kind);

// The request for a kind and its two arguments (channel and value, or baud and
// parity), or one Chinese sentence naming the argument at fault and what is allowed.
using SettingOrError = std::variant<protocol::Request, std::string>;
SettingOrError setting_from(Kind kind, std::span<const std::string_view> args);

// "不关联/none、自锁/self-lock、…": every entry of a table, for help and error texts.
template <typename Value, std::size_t N>
std::string choices(const std::array<protocol::Named<Value>, N>& table) {
    std::string text;
    for (const auto& entry : table) {
        text +=
            (text.empty() ? "" : "、") + std::string(entry.name) + "/" + std::string(entry.alias);
    }
    return text;
}

// What a kind's arguments are, for error and help texts: "通道 关联方式".
std::string argument_names(Kind kind);

}  // namespace tarvok::plan
