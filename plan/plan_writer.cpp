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

std::string line_cell(const std::optional<protocol::LineSetting>& line, PlanLanguage language) {
    return line ? line_words(*line, language, "/") : std::string();
}

}  // namespace

PlanRow row_cells(const PlanStep& step, PlanLanguage language) {
    PlanRow row;
    row.address = std::to_string(step.address);
    row.setting = word(kKinds, protocol::kind_of(step.request), language);
    if (const auto* mode = std::get_if<protocol::ModeSetting>(&step.request)) {
        row.channel = channel_word(mode->channel, language);
        row.value = word(protocol::kModes, mode->mode, language);
    } else if (const auto* state = std::get_if<protocol::PowerOnSetting>(&step.request)) {
        row.channel = channel_word(state->channel, language);
        row.value = word(protocol::kPowerOnStates, state->state, language);
    } else {
        row.value = line_words(std::get<protocol::LineSetting>(step.request), language, " ");
    }
    row.line = line_cell(step.module_line, language);
    row.remark = step.remark;
    return row;
}

std::string write_rows(std::span<const PlanRow> rows, PlanLanguage language) {
    std::string text = std::string(kUtf8Mark) + header(language) + "\r\n";
    for (const PlanRow& row : rows) {
        for (const std::string* cell :
             {&row.address, &row.setting, &row.channel, &row.value, &row.line, &row.remark}) {
            text += (cell == &row.address ? "" : ",") + csv_field(*cell);
        }
        text += "\r\n";
    }
    return text;
}

std::string write_plan(std::span<const PlanStep> steps, PlanLanguage language) {
    std::vector<PlanRow> rows;
    rows.reserve(steps.size());
    for (const PlanStep& step : steps) {
        rows.push_back(row_cells(step, language));
    }
    return write_rows(rows, language);
}

}  // namespace tarvok::plan
