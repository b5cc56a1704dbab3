#include "plan/setting_words.h"

#include <algorithm>

#include "protocol/number_text.h"

namespace tarvok::plan {

namespace {

using protocol::kAllChannels;

bool space_or_tab(char c) { return c == ' ' || c == '\t'; }

// Plan files and command lines take the Chinese list words in every language.
std::string chinese_entry(std::uint8_t channel) {
    return protocol::channel_entry(channel, words::Language::chinese);
}

SettingOrFault channel_setting(Kind kind, std::string_view channel_text, std::string_view value) {
    const auto channel = channel_from(channel_text);
    if (!channel) {
        return SettingFault{SettingProblem::channel, kind, std::string(channel_text)};
    }
    if (kind == Kind::mode) {
        if (const auto* mode = find_word(protocol::kModes, value)) {
            return protocol::ModeSetting{*channel, mode->value};
        }
        return SettingFault{SettingProblem::mode, kind, std::string(value)};
    }
    if (const auto* state = find_word(protocol::kPowerOnStates, value)) {
        return protocol::PowerOnSetting{*channel, state->value};
    }
    return SettingFault{SettingProblem::power_on, kind, std::string(value)};
}

SettingOrFault line_setting(std::string_view baud_text, std::string_view parity_text) {
    const auto baud = protocol::whole_number(baud_text, 0, protocol::kBaudCodes.back().baud);
    if (!baud || !protocol::code_for_baud(*baud)) {
        return SettingFault{baud ? SettingProblem::baud_unsupported : SettingProblem::baud,
                            Kind::line, std::string(baud_text)};
    }
    const auto* parity = find_word(protocol::kParities, parity_text);
    if (!parity) {
        return SettingFault{SettingProblem::parity, Kind::line, std::string(parity_text)};
    }
    return protocol::LineSetting{*baud, parity->value};
}

}  // namespace

bool same_word(std::string_view text, std::string_view word) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return text.size() == word.size() &&
           std::equal(text.begin(), text.end(), word.begin(),
                      [&](char a, char b) { return lower(a) == lower(b); });
}

const protocol::Named<Kind>* find_kind(std::string_view text) { return find_word(kKinds, text); }

bool takes_channel(Kind kind) { return kind != Kind::line; }

std::optional<std::uint8_t> channel_from(std::string_view text) {
    if (same_word(text, "all") || text == chinese_entry(kAllChannels)) {
        return kAllChannels;
    }
    if (const auto n = protocol::whole_number(text, 1, protocol::kChannelCount)) {
        return static_cast<std::uint8_t>(*n);
    }
    std::string packed(text);  // "第 3 路" as the window writes it, "第3路"
    packed.erase(std::remove_if(packed.begin(), packed.end(), space_or_tab), packed.end());
    for (int n = 1; n <= protocol::kChannelCount; ++n) {
        if (packed == chinese_entry(static_cast<std::uint8_t>(n))) {
            return static_cast<std::uint8_t>(n);
        }
    }
    return std::nullopt;
}

SettingOrFault setting_from(Kind kind, std::span<const std::string_view> args) {
    if (args.size() != 2) {
        return SettingFault{SettingProblem::argument_count, kind, {}};
    }
    if (takes_channel(kind)) {
        return channel_setting(kind, args[0], args[1]);
    }
    return line_setting(args[0], args[1]);
}

}  // namespace tarvok::plan
