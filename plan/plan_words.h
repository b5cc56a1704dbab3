// Every sentence of the plan room, in Chinese and English: what a plan fault, a
// setting's fault or a note on the reading says to the user. Front ends call these
// where they show a fact; nothing inside the room decides anything from their text.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "plan/plan.h"
#include "plan/setting_words.h"
#include "plan/text_encoding.h"
#include "protocol/protocol_words.h"
#include "words/catalogue.h"

namespace tarvok::plan {

// "第 4 行：地址“5.5”无效，应为 0 到 255 的整数"; without the line when it is 0.
// "line 4: address “5.5” is not valid: expected a whole number from 0 to 255".
std::string error_words(const PlanError& error);

// "通道“33”无效，应为 1 到 32、第1路 到 第32路、all 或 全部".
std::string setting_fault_words(const SettingFault& fault);

// Why a plan file given by name could not be read at all.
enum class FileFault { missing, folder, unreadable, read_error };

// "找不到计划文件“柜3.csv”，请检查路径".
std::string file_fault_words(FileFault fault, std::string_view path);

// "第 1 行当作表名略过".
std::string title_words(int line);

// "UTF-8（带 BOM）".
std::string_view encoding_name(PlanEncoding encoding);

// Text from the user echoed in a message: “text”, cut to 40 characters with "…" so a
// runaway word cannot flood the terminal.
std::string echo(std::string_view text);

// "不关联/none、自锁/self-lock、…" ("none, self-lock, …" in English): every entry of
// a table, for help and error texts.
using protocol::choices;

// The catalogue's ids: each a sentence, or a part of one, in Chinese and English.
enum class PlanWord {
    line_prefix,      // "第 {} 行："
    title,            // "第 {} 行当作表名略过"
    header_example,   // the header to write, in both languages' words
    save_as_utf8,     // advice that ends several faults
    split_hint,       // "，已停止读取；请把计划分成几个文件"
    column,           // "{}列"
    column_also,      // "（也可写作 {}": the column's other words
    column_close,     // "）"
    mixed_encoding,   // "编码与前面的行不同（前面是 {}），…"
    stream_encoding,  // how a stream's encoding is chosen
    quote_stray,
    quote_open,
    cell_outside_header,
    header_expected,
    header_missing,
    header_twice,
    row_incomplete,
    address_bad,
    setting_unknown,
    channel_range,
    channel_not_taken,
    module_line_bad,
    remark_long,
    no_settings,
    nul_byte,
    not_text,
    line_too_long,
    cr_line_ends,
    too_many_lines,
    too_many_bytes,
    too_many_steps,
    mode_arguments,      // a setting of a kind without its two arguments
    power_on_arguments,  // likewise
    line_arguments,      // likewise
    bad_channel,
    not_mode,
    not_power_on,
    bad_baud,
    baud_unsupported,
    not_parity,
    encoding_ascii,
    encoding_utf8,
    encoding_utf8_bom,
    encoding_gb18030,
    file_missing,
    file_folder,
    file_unreadable,
    file_read_error,
};

// Every entry, in id order, for a check that none lacks a language.
words::Catalogue<PlanWord> plan_catalogue();

}  // namespace tarvok::plan
