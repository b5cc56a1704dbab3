// The catalogue of command-line errors: every piece of error_text() and usage_line(),
// in Chinese and English under ids.
#pragma once

#include "words/catalogue.h"

namespace tarvok::cmdline {

enum class ErrorWord {
    unit_port,          // "（串口号）"
    unit_milliseconds,  // "（毫秒）"
    unit_percent,       // "（百分比）"
    or_keyword,         // "，或 {}": one more word an option takes
    whole_number,       // "应为 {} 到 {} 的整数{}{}"
    available,          // "可用：{}{}"
    address_list,
    module_group,
    part_baud,    // which part of a module group is wrong
    part_parity,  // likewise
    unknown_option,
    missing_value,
    value_not_taken,
    bad_value,
    bad_part,
    given_twice,
    contradiction,
    extra_argument,
    shared_address,
    usage_line,  // "{}：{}。用 {} --help 查看用法。"
};

// Every entry, in id order, for a check that none lacks a language.
words::Catalogue<ErrorWord> error_catalogue();

}  // namespace tarvok::cmdline
