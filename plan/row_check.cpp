#include "plan/row_check.h"

#include <algorithm>
#include <utility>

#include "protocol/number_text.h"

namespace tarvok::plan {

namespace {

constexpr std::string_view kOrdinal = "第";  // 第3路
constexpr std::string_view kChannelWord = "路";

bool separates(char c) { return is_blank(c) || c == ',' || c == '/'; }

// A cell as the checks read it: full-width forms narrowed, blanks around it gone.
std::string cell(std::string_view text) { return trimmed(narrowed(text)); }

// "第 3 路" -> "第3路": blanks after 第 and before 路 go, every other run of blanks
// becomes one.
std::string packed_channels(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!is_blank(text[i])) {
            out += text[i];
            continue;
        }
        const std::size_t next = std::min(text.find_first_not_of(" \t\r", i), text.size());
        if (!out.ends_with(kOrdinal) && !text.substr(next).starts_with(kChannelWord)) {
            out += ' ';
        }
        i = next - 1;
    }
    return out;
}

// The words of a value: "第 3 路 自锁" -> 第3路, 自锁; "19200/偶校验" -> 19200, 偶校验.
std::vector<std::string> words_of(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : packed_channels(text)) {
        if (!separates(c)) {
            word += c;
        } else if (!word.empty()) {
            words.push_back(std::exchange(word, {}));
        }
    }
    if (!word.empty()) {
        words.push_back(std::move(word));
    }
    return words;
}

struct Channels {
    std::uint8_t first;
    std::uint8_t last;
};

// "1-8", "第1路-第8路" or "第1-8路": two single channels, the first not past the last.
std::optional<Channels> range_of(std::string_view text) {
    const auto split = [](std::string_view range) -> std::optional<Channels> {
        const std::size_t dash = range.find('-');
        const auto first = channel_from(range.substr(0, dash));
        const auto last = channel_from(range.substr(dash + 1));
        if (!first || !last || *first == protocol::kAllChannels ||
            *last == protocol::kAllChannels || *first > *last) {
            return std::nullopt;
        }
        return Channels{*first, *last};
    };
    if (const auto range = split(text)) {
        return range;
    }
    if (text.starts_with(kOrdinal) && text.ends_with(kChannelWord)) {
        text.remove_prefix(kOrdinal.size());
        text.remove_suffix(kChannelWord.size());
        return split(text);
    }
    return std::nullopt;
}

protocol::Request on_channel(protocol::Request request, std::uint8_t channel) {
    if (auto* mode = std::get_if<protocol::ModeSetting>(&request)) {
        mode->channel = channel;
    } else if (auto* state = std::get_if<protocol::PowerOnSetting>(&request)) {
        state->channel = channel;
    }
    return request;
}

// The requests a row's channel and value make: one, or one per channel of a range;
// none, with the fault noted, when they make none.
std::vector<protocol::Request> requests_of(Kind kind, const PlanRow& row,
                                           std::vector<PlanError>& faults, int line) {
    const std::string channel = cell(row.channel);
    std::vector<std::string> words = words_of(channel);
    if (!channel.empty() && !takes_channel(kind)) {
        faults.push_back(fault_at(line, PlanFault::channel_not_taken, Column::channel, channel));
        return {};
    }
    for (std::string& word : words_of(cell(row.value))) {
        words.push_back(std::move(word));
    }
    const Column channel_column = channel.empty() ? Column::value : Column::channel;
    std::optional<Channels> range;
    if (takes_channel(kind) && words.size() == 2 && words[0].find('-') != std::string::npos) {
        range = range_of(words[0]);
        if (!range) {
            faults.push_back(fault_at(line, PlanFault::channel_range, channel_column, words[0]));
            return {};
        }
        words[0] = std::to_string(range->first);
    }
    const std::vector<std::string_view> args(words.begin(), words.end());
    const auto setting = setting_from(kind, args);
    if (const auto* fault = std::get_if<SettingFault>(&setting)) {
        PlanError error =
            fault_at(line, PlanFault::setting,
                     fault->problem == SettingProblem::channel ? channel_column : Column::value);
        error.setting = *fault;
        faults.push_back(std::move(error));
        return {};
    }
    const auto& request = std::get<protocol::Request>(setting);
    if (!range) {
        return {request};
    }
    std::vector<protocol::Request> requests;
    for (int c = range->first; c <= range->last; ++c) {
        requests.push_back(on_channel(request, static_cast<std::uint8_t>(c)));
    }
    return requests;
}

// "19200/偶校验", "19200 even", "9600": a rate the module knows, and a parity or none.
std::optional<protocol::LineSetting> module_line_of(std::string_view text) {
    const auto words = words_of(text);
    if (words.empty() || words.size() > 2) {
        return std::nullopt;
    }
    const auto baud = protocol::whole_number(words[0], 0, protocol::kBaudCodes.back().baud);
    const auto* parity =
        words.size() == 2 ? find_word(protocol::kParities, words[1]) : &protocol::kParities.front();
    if (!baud || !protocol::code_for_baud(*baud) || !parity) {
        return std::nullopt;
    }
    return protocol::LineSetting{*baud, parity->value};
}

std::size_t characters(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::string trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

std::string narrowed(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i + 2 < text.size() && (byte(i) & 0xF0) == 0xE0 && (byte(i + 1) & 0xC0) == 0x80 &&
            (byte(i + 2) & 0xC0) == 0x80) {
            const unsigned code =
                ((byte(i) & 0x0FU) << 12U) | ((byte(i + 1) & 0x3FU) << 6U) | (byte(i + 2) & 0x3FU);
            if (code >= 0xFF01 && code <= 0xFF5E) {
                out += static_cast<char>(code - 0xFF01 + '!');
                i += 2;
                continue;
            }
            if (code == 0x3000) {
                out += ' ';
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

RowCheck check_row(const PlanRow& row, int line) {
    RowCheck check;
    auto& faults = check.faults;
    const std::string address_text = cell(row.address);
    const std::string setting_text = cell(row.setting);
    if (address_text.empty() || setting_text.empty()) {
        faults.push_back(fault_at(line, PlanFault::row_incomplete,
                                  address_text.empty() ? Column::address : Column::setting));
    }
    const auto address = protocol::whole_number(address_text, 0, std::uint32_t{kLastAddress});
    if (!address_text.empty() && !address) {
        faults.push_back(fault_at(line, PlanFault::address_bad, Column::address, address_text));
    }
    const auto* kind = find_kind(setting_text);
    if (!setting_text.empty() && !kind) {
        faults.push_back(fault_at(line, PlanFault::setting_unknown, Column::setting, setting_text));
    }
    const auto requests =
        kind ? requests_of(kind->value, row, faults, line) : std::vector<protocol::Request>{};
    const std::string line_text = cell(row.line);
    const auto module_line = module_line_of(line_text);
    if (!line_text.empty() && !module_line) {
        faults.push_back(fault_at(line, PlanFault::module_line_bad, Column::line, line_text));
    }
    const std::string remark = trimmed(row.remark);
    if (characters(remark) > kRemarkCharacters) {
        faults.push_back(
            fault_at(line, PlanFault::remark_long, Column::note, {}, kRemarkCharacters));
    }
    if (faults.empty()) {
        for (const auto& request : requests) {
            check.steps.push_back(
                PlanStep{line, static_cast<std::uint8_t>(*address), request, module_line, remark});
        }
    }
    return check;
}

}  // namespace tarvok::plan
