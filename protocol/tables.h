// What the values of a setting are called, and which bytes carry them. Every list
// the window, the simulator and the command line show comes from these tables;
// their order is the order the window's lists show.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "words/language.h"

namespace tarvok::protocol {

// The six commands the tool sends.
enum class Command : std::uint8_t {
    channel_mode = 0x44,
    power_on_state_all = 0x46,
    power_on_state_channel = 0x47,
    power_on_memory_all = 0x49,
    power_on_memory_channel = 0x4A,
    device_serial = 0x4B,
};

// Association of a channel's input with its output; the value is the wire byte.
enum class Mode : std::uint8_t { none = 0, self_lock = 1, linked = 2, momentary = 3 };
enum class PowerOn : std::uint8_t { off, on, memory };
// Parity of a serial line; the value is the module's parity code.
enum class Parity : std::uint8_t { none = 0, odd = 1, even = 2 };

inline constexpr int kChannelCount = 32;
// Stands for every channel at once.
inline constexpr std::uint8_t kAllChannels = 0xFF;

// A value with the Chinese text the window's list shows, a plain ASCII alias for
// scripts, and the English the English interface shows. Plan files and command lines
// take the name and the alias, whatever the language.
template <typename Value>
struct Named {
    Value value;
    std::string_view name;
    std::string_view alias;
    std::string_view english;
};

inline constexpr std::array<Named<Command>, 6> kCommands = {{
    {Command::channel_mode, "关联方式", "mode", "mode"},
    {Command::power_on_state_all, "全部通道上电状态", "power-on-all", "all-channel power-on state"},
    {Command::power_on_state_channel, "单路上电状态", "power-on", "single-channel power-on state"},
    {Command::power_on_memory_all, "全部通道上电记忆", "memory-all", "all-channel power-on memory"},
    {Command::power_on_memory_channel, "单路上电记忆", "memory", "single-channel power-on memory"},
    {Command::device_serial, "通讯参数", "line", "line settings"},
}};

// The three kinds of setting, as the command line and plan files name them and as
// describe() words them.
enum class Kind { mode, power_on, line };

inline constexpr std::array<Named<Kind>, 3> kKinds = {{
    {Kind::mode, "关联方式", "mode", "mode"},
    {Kind::power_on, "上电状态", "power-on", "power-on state"},
    {Kind::line, "通讯参数", "line", "line settings"},
}};

inline constexpr std::array<Named<Mode>, 4> kModes = {{
    {Mode::none, "不关联", "none", "none"},
    {Mode::self_lock, "自锁", "self-lock", "self-lock"},
    {Mode::linked, "联动", "linked", "linked"},
    {Mode::momentary, "点动", "momentary", "momentary"},
}};

inline constexpr std::array<Named<PowerOn>, 3> kPowerOnStates = {{
    {PowerOn::off, "上电关", "off", "off"},
    {PowerOn::on, "上电开", "on", "on"},
    {PowerOn::memory, "上电记忆", "memory", "memory"},
}};

inline constexpr std::array<Named<Parity>, 3> kParities = {{
    {Parity::none, "无校验", "none", "no parity"},
    {Parity::odd, "奇校验", "odd", "odd parity"},
    {Parity::even, "偶校验", "even", "even parity"},
}};

// Baud rates the module knows and the code that selects each.
struct BaudCode {
    std::uint32_t baud;
    std::uint8_t code;
};

inline constexpr std::array<BaudCode, 8> kBaudCodes = {{
    {1200, 0x12},
    {2400, 0x24},
    {4800, 0x48},
    {9600, 0x96},
    {19200, 0x19},
    {38400, 0x38},
    {57600, 0x57},
    {115200, 0x11},
}};

template <typename Value, std::size_t N>
constexpr const Named<Value>* find_value(const std::array<Named<Value>, N>& table, Value value) {
    for (const auto& entry : table) {
        if (entry.value == value) {
            return &entry;
        }
    }
    return nullptr;
}

// The entry whose name or alias is `text`, exactly.
template <typename Value, std::size_t N>
constexpr const Named<Value>* find_text(const std::array<Named<Value>, N>& table,
                                        std::string_view text) {
    for (const auto& entry : table) {
        if (entry.name == text || entry.alias == text) {
            return &entry;
        }
    }
    return nullptr;
}

// The Chinese name of a value from the tables above (the machine word plan files
// write); empty for a value none of them holds.
template <typename Value, std::size_t N>
constexpr std::string_view name_in(const std::array<Named<Value>, N>& table, Value value) {
    const auto* entry = find_value(table, value);
    return entry ? entry->name : std::string_view{};
}

// What the interface shows for a value: its name in Chinese, its English in English.
template <typename Value>
constexpr std::string_view shown(const Named<Value>& entry, words::Language language) {
    return language == words::Language::english ? entry.english : entry.name;
}

// The shown word of a value from the tables above, in the language given or the
// process's; empty for a value none of them holds.
template <typename Value, std::size_t N>
constexpr std::string_view shown_in(const std::array<Named<Value>, N>& table, Value value,
                                    words::Language language) {
    const auto* entry = find_value(table, value);
    return entry ? shown(*entry, language) : std::string_view{};
}

template <typename Value, std::size_t N>
std::string_view shown_in(const std::array<Named<Value>, N>& table, Value value) {
    return shown_in(table, value, words::language());
}

constexpr std::optional<std::uint8_t> code_for_baud(std::uint32_t baud) {
    for (const auto& entry : kBaudCodes) {
        if (entry.baud == baud) {
            return entry.code;
        }
    }
    return std::nullopt;
}

constexpr std::optional<std::uint32_t> baud_for_code(std::uint8_t code) {
    for (const auto& entry : kBaudCodes) {
        if (entry.code == code) {
            return entry.baud;
        }
    }
    return std::nullopt;
}

}  // namespace tarvok::protocol
