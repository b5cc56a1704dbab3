#include "plan/csv_table.h"

#include <algorithm>

#include "plan/row_check.h"
#include "plan/setting_words.h"

namespace tarvok::plan {

namespace {

constexpr std::string_view kWideComma = "，";

bool blank_only(std::string_view text) { return std::all_of(text.begin(), text.end(), is_blank); }

// A quoted field's text from just after its opening quote, where "" stands for one
// quote; the position of the closing quote, or npos when the line ends first.
std::size_t read_quoted(std::string_view text, std::size_t i, std::string& field) {
    for (; i < text.size(); ++i) {
        if (text[i] != '"') {
            field += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
        } else {
            return i;
        }
    }
    return std::string_view::npos;
}

std::variant<Cells, PlanError> split(std::string_view text, std::string_view comma) {
    Cells fields{std::string()};
    bool closed = false;  // past the field's closing quote: only blanks before the comma
    for (std::size_t i = 0; i < text.size() && text[i] != '#'; ++i) {
        const char c = text[i];
        if (text.substr(i).starts_with(comma)) {
            fields.emplace_back();
            closed = false;
            i += comma.size() - 1;
        } else if (closed && !is_blank(c)) {
            return fault_at(0, PlanFault::quote_stray, std::nullopt, {}, fields.size());
        } else if (c == '"' && !closed && blank_only(fields.back())) {
            fields.back().clear();
            i = read_quoted(text, i + 1, fields.back());
            if (i == std::string_view::npos) {
                return fault_at(0, PlanFault::quote_open);
            }
            closed = true;
        } else if (!closed) {
            fields.back() += c;
        }
    }
    for (std::string& field : fields) {
        field = trimmed(field);
    }
    while (!fields.empty() && fields.back().empty()) {
        fields.pop_back();
    }
    return fields;
}

// Whether the line has an ASCII comma before any comment and outside quotes: after
// an even number of them.
bool comma_outside_quotes(std::string_view text) {
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ',' || c == '#')) {
            return c == ',';
        }
    }
    return false;
}

std::string cell_word(std::string_view cell) { return trimmed(narrowed(cell)); }

}  // namespace

std::variant<Cells, PlanError> fields_of(std::string_view text) {
    return split(text, comma_outside_quotes(text) ? "," : kWideComma);
}

std::optional<Column> column_named(std::string_view cell) {
    const std::string word = cell_word(cell);
    for (const ColumnWord& entry : kColumnWords) {
        if (same_word(word, entry.word)) {
            return entry.column;
        }
    }
    return std::nullopt;
}

bool is_header(const Cells& cells) {
    return std::count_if(cells.begin(), cells.end(), [](const std::string& cell) {
               return column_named(cell).has_value();
           }) >= 2;
}

std::variant<Layout, PlanError> layout_of(const Cells& header) {
    Layout layout{{-1, -1, -1, -1, -1, -1}, header.size()};
    for (std::size_t i = 0; i < header.size(); ++i) {
        const auto column = column_named(header[i]);
        if (!column) {
            continue;
        }
        int& field = layout.field.at(static_cast<std::size_t>(*column));
        if (field >= 0) {
            return fault_at(0, PlanFault::header_twice, column, header[i]);
        }
        field = static_cast<int>(i);
    }
    for (const Column needed : {Column::address, Column::setting, Column::value}) {
        if (layout.field.at(static_cast<std::size_t>(needed)) < 0) {
            return fault_at(0, PlanFault::header_missing, needed);
        }
    }
    return layout;
}

std::variant<PlanRow, PlanError> row_of(const Cells& fields, const Layout& layout) {
    const auto at = [&](Column column) {
        const int field = layout.field.at(static_cast<std::size_t>(column));
        return field >= 0 && static_cast<std::size_t>(field) < fields.size()
                   ? fields[static_cast<std::size_t>(field)]
                   : std::string();
    };
    PlanRow row{at(Column::address), at(Column::setting), at(Column::channel),
                at(Column::value),   at(Column::note),    at(Column::line)};
    const bool value_last =
        static_cast<std::size_t>(layout.field.at(static_cast<std::size_t>(Column::value))) + 1 ==
        layout.width;
    for (std::size_t i = layout.width; i < fields.size(); ++i) {
        if (fields[i].empty()) {
            continue;
        }
        if (!value_last) {
            return fault_at(0, PlanFault::cell_outside_header, std::nullopt, {}, i + 1);
        }
        row.value += " " + fields[i];
    }
    return row;
}

}  // namespace tarvok::plan
