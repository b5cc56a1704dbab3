#include "plan/setting_words.h"

#include <algorithm>
#include <optional>

#include "protocol/number_text.h"

namespace tarvok::plan {

namespace {

using protocol::kAllChannels;

constexpr std::size_t kQuotedCharacters = 40;

// 1 to 32, the window's "第3路" and "全部", or "all".
std::optional<std::uint8_t> channel_from(std::string_view text) {
    if (same_word(text, "all") || text == protocol::channel_entry(kAllChannels)) {
        return kAllChannels;
    }
    if (const auto n = protocol::whole_number(text, 1, protocol::kChannelCount)) {
        return static_cast<std::uint8_t>(*n);
    }
    for (int n = 1; n <= protocol::kChannelCount; ++n) {
        if (text == protocol::channel_entry(static_cast<std::uint8_t>(n))) {
            return static_cast<std::uint8_t>(n);
        }
    }
    return std::nullopt;
}

std::string example(Kind kind) {
    switch (kind) {
    case Kind::mode:
        return "3 自锁";
    case Kind::power_on:
        return "all 上电记忆";
    case Kind::line:
        break;
    }
    return "19200 偶校验";
}

SettingOrError channel_setting(Kind kind, std::string_view channel_text, std::string_view value) {
    const auto channel = channel_from(channel_text);
    if (!channel) {
        return "通道" + echo(channel_text) + "无效，应为 1 到 32、第1路 到 第32路、all 或 全部";
    }
    if (kind == Kind::mode) {
        if (const auto* mode = find_word(protocol::kModes, value)) {
            return protocol::ModeSetting{*channel, mode->value};
        }
        return echo(value) + "不是关联方式，可用：" + choices(protocol::kModes);
    }
    if (const auto* state = find_word(protocol::kPowerOnStates, value)) {
        return protocol::PowerOnSetting{*channel, state->value};
    }
    return echo(value) + "不是上电状态，可用：" + choices(protocol::kPowerOnStates);
}

SettingOrError line_setting(std::string_view baud_text, std::string_view parity_text) {
    const auto baud = protocol::whole_number(baud_text, 0, protocol::kBaudCodes.back().baud);
    if (!baud || !protocol::code_for_baud(*baud)) {
        return "波特率" + echo(baud_text) + (baud ? "模块不支持" : "无效") + "，可用：" +
               protocol::baud_list_text();
    }
    const auto* parity = find_word(protocol::kParities, parity_text);
    if (!parity) {
        return echo(parity_text) + "不是校验位，可用：" + choices(protocol::kParities);
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

std::string echo(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that is not a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 &&
            ++characters > kQuotedCharacters) {
            return "“" + std::string(text.substr(0, i)) + "…”";
        }
    }
    return "“" + std::string(text) + "”";
}

bool takes_channel(Kind kind) { return kind != Kind::line; }

std::string argument_names(Kind kind) {
    switch (kind) {
    case Kind::mode:
        return "通道 关联方式";
    case Kind::power_on:
        return "通道 上电状态";
    case Kind::line:
        break;
    }
    return "波特率 校验位";
}

SettingOrError setting_from(Kind kind, std::span<const std::string_view> args) {
    if (args.size() != 2) {
        return std::string(protocol::name_in(kKinds, kind)) + "需要两项：" + argument_names(kind) +
               "，例如 " + example(kind);
    }
    if (takes_channel(kind)) {
        return channel_setting(kind, args[0], args[1]);
    }
    return line_setting(args[0], args[1]);
}

}  // namespace tarvok::plan
