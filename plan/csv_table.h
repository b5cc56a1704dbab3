// A plan file as a table: a line's fields, the header's words and where they put each
// column, and a line's fields as the cells of a row.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "plan/plan.h"
#include "plan/row_check.h"

namespace tarvok::plan {

using Cells = std::vector<std::string>;

// The line's fields, each trimmed, empty trailing ones dropped; or what is wrong
// (a fault without its line). Fields are split at commas; a line without a comma
// outside quotes is split at full-width commas (，) instead, as typed with a Chinese
// input method. Quoted fields as spreadsheets write them ("a ""b""" is a "b"), but a
// quote must close on its own line; '#' outside quotes starts a comment.
std::variant<Cells, PlanError> fields_of(std::string_view text);

struct ColumnWord {
    Column column;
    std::string_view word;  // Chinese exactly, English in any case
};

// Each column's Chinese word first, then its English one, as a writer puts them.
inline constexpr std::array<ColumnWord, 14> kColumnWords = {{
    {Column::address, "地址"},
    {Column::address, "address"},
    {Column::setting, "设置"},
    {Column::setting, "setting"},
    {Column::channel, "通道"},
    {Column::channel, "channel"},
    {Column::value, "值"},
    {Column::value, "value"},
    {Column::value, "参数"},
    {Column::value, "arguments"},
    {Column::line, "线路"},
    {Column::line, "line"},
    {Column::note, "备注"},
    {Column::note, "note"},
}};

// The old header, address,setting,arguments, and the layout when no header was read.
inline constexpr Layout kClassicLayout{{0, 1, -1, 2, -1, -1}, 3};

std::optional<Column> column_named(std::string_view cell);

// A header names two columns at least; no row of settings names any.
bool is_header(const Cells& cells);

// Where the header puts each column; the header's first fault when it lacks the
// address, setting or value column, or names one twice. Other cells are columns
// kept and ignored.
std::variant<Layout, PlanError> layout_of(const Cells& header);

// The row's cells by their columns; a fault when a field past the header holds text
// that no column takes.
std::variant<PlanRow, PlanError> row_of(const Cells& fields, const Layout& layout);

}  // namespace tarvok::plan
