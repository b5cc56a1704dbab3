#include "plan/plan_writer.h"

#include <array>

#include "plan/csv_table.h"

namespace tarvok::plan {

namespace {

constexpr std::array kWritten = {Column::address, Column::setting, Column::channel,
                                 Column::value,   Column::line,    Column::note};

bool chinese_word(std::string_view word) { return !is_ascii(word); }

std::string header(PlanLanguage language) {
    std::string text;
    for (const Column column : kWritten) {
        for (const ColumnWord& entry : kColumnWords) {
            if (entry.column == column &&
                chinese_word(entry.word) == (language == PlanLanguage::chinese)) {
                text += (text.empty() ? "" : ",") + std::string(entry.word);
                break;
            }
        }
    }
    return text;
}

template <typename Value, std::size_t N>
std::string word(const std::array<protocol::Named<Value>, N>& table, Value value,
                 PlanLanguage language) {
    const auto* entry = protocol::find_value(table, value);
    return std::string(language == PlanLanguage::chinese ? entry->name : entry->alias);
}

std::string channel_word(std::uint8_t channel, PlanLanguage language) {
    if (language == PlanLanguage::chinese) {
        return protocol::channel_entry(channel, words::Language::chinese);
    }
    return channel == protocol::kAllChannels ? "all" : std::to_string(channel);
}

std::string line_words(const protocol::LineSetting& line, PlanLanguage language,
                       std::string_view between) {
    return std::to_string(line.baud) + std::string(between) +
           word(protocol::kParities, line.parity, language);
}

// A remark as one field: line breaks (and NUL, which no text file holds) become
// blanks, and it is quoted when it holds what a field cannot hold bare.
std::string remark_field(std::string_view remark) {
    std::string text;
    bool quoted = false;
    for (const char c : remark) {
        const bool breaks = c == '\n' || c == '\r' || c == '\0';
        quoted = quoted || c == ',' || c == '"' || c == '#';
        text += breaks ? ' ' : c;
        if (c == '"') {
            text += '"';
        }
    }
    return quoted ? "\"" + text + "\"" : text;
}

std::string row(const PlanStep& step, PlanLanguage language) {
    std::string channel;
    std::string value;
    if (const auto* mode = std::get_if<protocol::ModeSetting>(&step.request)) {
        channel = channel_word(mode->channel, language);
        value = word(protocol::kModes, mode->mode, language);
    } else if (const auto* state = std::get_if<protocol::PowerOnSetting>(&step.request)) {
        channel = channel_word(state->channel, language);
        value = word(protocol::kPowerOnStates, state->state, language);
    } else {
        value = line_words(std::get<protocol::LineSetting>(step.request), language, " ");
    }
    return std::to_string(step.address) + "," +
           word(kKinds, protocol::kind_of(step.request), language) + "," + channel + "," + value +
           "," + (step.module_line ? line_words(*step.module_line, language, "/") : std::string()) +
           "," + remark_field(step.remark);
}

}  // namespace

std::string write_plan(std::span<const PlanStep> steps, PlanLanguage language) {
    std::string text = "\xEF\xBB\xBF" + header(language) + "\r\n";
    for (const PlanStep& step : steps) {
        text += row(step, language) + "\r\n";
    }
    return text;
}

}  // namespace tarvok::plan
