// A plan: settings for many modules, run in order. A CSV file with a header:
//
//   柜 3 左门                              <- at most one title row, skipped
//   地址,设置,通道,值,线路,备注             <- the header, words in Chinese or English
//   5,关联方式,第 3 路,自锁,,门边
//   5,mode,1-8,self-lock,19200/偶校验      <- one step per channel, the module at 19200
//   6,通讯参数,,19200 偶校验
//
// The old header "address,setting,arguments", with the arguments in fields of their
// own or separated by blanks in one, reads as it always did. plan/row_check.h has the
// rules of a row, plan/plan_input.h reads the bytes; this takes lines already decoded
// to UTF-8. Faults are facts; plan/plan_words.h puts them into words.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plan/setting_words.h"
#include "plan/text_encoding.h"
#include "protocol/request.h"

namespace tarvok::plan {

struct PlanStep {
    int line = 0;  // 1-based line in the plan file; 0 for a setting given on the command line
    std::uint8_t address = 0;
    protocol::Request request;
    // The line the module listens at; the run's own line when there is none.
    std::optional<protocol::LineSetting> module_line;
    std::string remark;  // the row's 备注/note, kept to be shown and saved again
    friend bool operator==(const PlanStep&, const PlanStep&) = default;
};

// The columns a header names; a row's cells are taken by these.
enum class Column { address, setting, channel, value, line, note };

enum class PlanFault {
    // The line as CSV.
    quote_stray,          // number: the field with text after its closing quote
    quote_open,           // a quote not closed on its line
    cell_outside_header,  // number: a field past the header's columns
    // The header.
    header_expected,  // the first row is no header, nor a title above one
    header_missing,   // column: a column the header lacks
    header_twice,     // column and word: a column named a second time
    // A row.
    row_incomplete,     // column: address or setting left empty
    address_bad,        // word
    setting_unknown,    // word
    setting,            // setting: the arguments do not make the setting
    channel_range,      // word: a range that is not two channels, first to last
    channel_not_taken,  // word: a channel for a setting of the whole module
    module_line_bad,    // word: the 线路 cell
    remark_long,        // number: the most characters a remark may have
    // The input.
    no_settings,
    nul_byte,
    not_text,               // in neither encoding
    mixed_encoding,         // encoding: the lines before; the file was judged whole
    mixed_encoding_stream,  // encoding: the lines before; read as a stream
    line_too_long,          // number: the most bytes a line may have
    cr_line_ends,           // lines end in CR alone (old Mac files)
    too_many_lines,         // number: the limit
    too_many_bytes,         // number: the limit
    too_many_steps,         // number: the limit
};

struct PlanError {
    int line = 0;  // 0 when the fault is the input as a whole, or a row outside a file
    PlanFault fault = PlanFault::no_settings;
    std::optional<Column> column;  // the cell at fault, for a table that marks it
    std::string word;              // the text at fault, as read
    std::size_t number = 0;
    PlanEncoding encoding = PlanEncoding::ascii;
    SettingFault setting;
    friend bool operator==(const PlanError&, const PlanError&) = default;
};

// A fault with the values most faults carry, the others left empty.
inline PlanError fault_at(int line, PlanFault fault, std::optional<Column> column = {},
                          std::string word = {}, std::size_t number = 0) {
    PlanError error;
    error.line = line;
    error.fault = fault;
    error.column = column;
    error.word = std::move(word);
    error.number = number;
    return error;
}

// Where a row's cells stand: the field of each Column (-1 for none), and how many
// fields the header has. Fields past those belong to the value column when it is the
// header's last, as the old header "address,setting,arguments" has it.
struct Layout {
    std::array<int, 6> field;
    std::size_t width;
    friend bool operator==(const Layout&, const Layout&) = default;
};

// Faults listed one by one; past these only their number is told.
inline constexpr int kShownErrors = 20;

// What a plan file holds. It may run only when ok(): nothing is sent otherwise.
struct Plan {
    std::vector<PlanStep> steps;
    std::vector<PlanError> errors;     // the first kShownErrors faults, in line order
    int more_errors = 0;               // faults past those
    std::optional<PlanError> stopped;  // why reading ended before the end of the input
    int title_line = 0;                // a title row skipped above the header; 0 for none
    bool ok() const { return errors.empty() && !stopped; }
    friend bool operator==(const Plan&, const Plan&) = default;
};

struct PlanRow;

// Sees every row of settings as its cells, good or bad, with its line.
using RowWatcher = std::function<void(int line, const PlanRow& row)>;

// Checks a plan line after line, so no more than one line is ever held as text.
class PlanCheck {
public:
    explicit PlanCheck(std::size_t max_steps) : max_steps_(max_steps) {}

    // For a table that shows every row, the bad ones marked (plan/plan_table.h).
    void watch_rows(RowWatcher watcher) { watcher_ = std::move(watcher); }

    // One line as UTF-8 text without its line end; lines count from 1.
    void take(int line, std::string_view text);
    // A fault found before the text, such as a line in no known encoding.
    void fail(PlanError error);
    // Why reading ended before the end of the input; told after every other fault.
    void stop(PlanError reason);
    // The end of the input: a plan without any setting is a fault of its own.
    void finish();
    const Plan& plan() const { return plan_; }

private:
    enum class Stage { header, after_title, rows };

    void take_header(int line, const std::vector<std::string>& cells);
    void take_row(int line, const std::vector<std::string>& cells);
    void header_lost();

    Plan plan_;
    Stage stage_ = Stage::header;
    int title_ = 0;  // the row held as a title until the next shows whether a header follows
    Layout layout_{};
    RowWatcher watcher_;
    std::size_t max_steps_;
    std::size_t steps_ = 0;  // settings read, kept or not
};

}  // namespace tarvok::plan
